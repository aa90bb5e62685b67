#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/file_replace.h"

namespace {

int CreateTemporarySibling(const char* path, std::string* temporary) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    *temporary = TemporarySiblingPath(path, attempt);
    const int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const ByteSpan* parts, size_t partCount) {
  for (size_t i = 0; i < partCount; ++i) {
    const char* data = static_cast<const char*>(parts[i].data);
    size_t left = parts[i].size;
    while (left > 0) {
      const ssize_t written = write(fd, data, left);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      data += written;
      left -= static_cast<size_t>(written);
    }
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const char* path, const ByteSpan* parts, size_t partCount) {
  std::string temporary;
  const int fd = CreateTemporarySibling(path, &temporary);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, parts, partCount) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (written && closed && std::rename(temporary.c_str(), path) == 0) return true;
  unlink(temporary.c_str());
  return false;
}
