#include <windows.h>

#include "core/file_replace.h"

namespace {

HANDLE FileOf(const FileReplacement* replacement) {
  return reinterpret_cast<HANDLE>(replacement->file);
}

}  // namespace

bool BeginFileReplacement(FileReplacement* replacement, const char* path) {
  replacement->target = path;
  // A rename may replace a read-only file where opening it for writing would not; the user
  // marked it so that it stays.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    replacement->temporary = TemporarySiblingPath(path, attempt);
    HANDLE file = CreateFileA(replacement->temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      replacement->file = reinterpret_cast<intptr_t>(file);
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  replacement->temporary.clear();
  return false;
}

bool AppendToFileReplacement(FileReplacement* replacement, const void* data, size_t size) {
  if (replacement->file == -1) return false;
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(FileOf(replacement), next, chunk, &written, nullptr) || written != chunk) {
      AbandonFileReplacement(replacement);
      return false;
    }
    next += chunk;
    size -= chunk;
  }
  return true;
}

bool CommitFileReplacement(FileReplacement* replacement) {
  if (replacement->file == -1) return false;
  const HANDLE file = FileOf(replacement);
  replacement->file = -1;
  // A rename with MOVEFILE_WRITE_THROUGH does not flush the data of the file it moves: after
  // a power cut the target could name a file whose bytes never reached the disk.
  const bool flushed = FlushFileBuffers(file) != FALSE;
  if (CloseHandle(file) && flushed &&
      MoveFileExA(replacement->temporary.c_str(), replacement->target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    replacement->temporary.clear();
    return true;
  }
  AbandonFileReplacement(replacement);
  return false;
}

void AbandonFileReplacement(FileReplacement* replacement) {
  if (replacement->file != -1) CloseHandle(FileOf(replacement));
  replacement->file = -1;
  if (!replacement->temporary.empty()) DeleteFileA(replacement->temporary.c_str());
  replacement->temporary.clear();
}
