#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/file_replace.h"

bool BeginFileReplacement(FileReplacement* replacement, const char* path) {
  replacement->target = path;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    replacement->temporary = TemporarySiblingPath(path, attempt);
    const int fd =
        open(replacement->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      replacement->file = fd;
      return true;
    }
    if (errno != EEXIST) break;
  }
  replacement->temporary.clear();
  return false;
}

bool AppendToFileReplacement(FileReplacement* replacement, const void* data, size_t size) {
  if (replacement->file < 0) return false;
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(static_cast<int>(replacement->file), next, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      AbandonFileReplacement(replacement);
      return false;
    }
    next += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool CommitFileReplacement(FileReplacement* replacement) {
  if (replacement->file < 0) return false;
  const int fd = static_cast<int>(replacement->file);
  replacement->file = -1;
  const bool written = fsync(fd) == 0;
  if (close(fd) == 0 && written &&
      std::rename(replacement->temporary.c_str(), replacement->target.c_str()) == 0) {
    replacement->temporary.clear();
    return true;
  }
  AbandonFileReplacement(replacement);
  return false;
}

void AbandonFileReplacement(FileReplacement* replacement) {
  if (replacement->file >= 0) close(static_cast<int>(replacement->file));
  replacement->file = -1;
  if (!replacement->temporary.empty()) unlink(replacement->temporary.c_str());
  replacement->temporary.clear();
}
