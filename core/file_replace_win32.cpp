#include <windows.h>

#include "core/file_replace.h"

namespace {

HANDLE CreateTemporarySibling(const char* path, std::string* temporary) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    *temporary = TemporarySiblingPath(path, attempt);
    HANDLE file = CreateFileA(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const ByteSpan* parts, size_t partCount) {
  for (size_t i = 0; i < partCount; ++i) {
    const char* data = static_cast<const char*>(parts[i].data);
    size_t left = parts[i].size;
    while (left > 0) {
      const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
      DWORD written = 0;
      if (!WriteFile(file, data, chunk, &written, nullptr) || written != chunk) return false;
      data += chunk;
      left -= chunk;
    }
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const char* path, const ByteSpan* parts, size_t partCount) {
  // A rename may replace a read-only file where opening it for writing would not; the user
  // marked it so that it stays.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  std::string temporary;
  HANDLE file = CreateTemporarySibling(path, &temporary);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, parts, partCount);
  const bool closed = CloseHandle(file) != FALSE;
  if (written && closed &&
      MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileA(temporary.c_str());
  return false;
}
