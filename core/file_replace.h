#pragma once
// Writing a whole file so that it either appears complete or not at all: the bytes go to a
// new temporary file beside the target, which then replaces the target in one step. A failed
// write (full disk, folder not writable, target locked) leaves the old file as it was and no
// temporary file behind. Every writer of the program goes through here.

#include <cstddef>
#include <string>

struct ByteSpan {
  const void* data;
  size_t size;
};

// Writes the parts, in order, as the new contents of `path`. False on any failure.
bool ReplaceFileContents(const char* path, const ByteSpan* parts, size_t partCount);

// The name of the temporary file for `path` at the given attempt: a short name ("~0.tmp") in
// the same folder, so that the final rename never crosses volumes, and never longer than the
// target's own name, so that every path short enough to be written can be replaced.
std::string TemporarySiblingPath(const char* path, int attempt);

inline constexpr int kTemporaryNameAttempts = 100;
