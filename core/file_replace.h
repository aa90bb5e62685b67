#pragma once
// Writing a whole file so that it either appears complete or not at all: the bytes go to a
// new temporary file beside the target, which then replaces the target in one step. A failed
// write (full disk, folder not writable, target locked) leaves the old file as it was and no
// temporary file behind. Every writer of the program goes through here; a long one (a batch
// of scanned pages) streams its bytes in as it makes them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/byte_sink.h"

// A replacement under way: the target, its temporary sibling and the open temporary file (a
// descriptor, or a HANDLE on Windows; -1 when none is open).
struct FileReplacement {
  std::string target;
  std::string temporary;
  intptr_t file = -1;

  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement();  // abandons a replacement neither committed nor abandoned
};

// Creates the temporary file beside `path`. False, with nothing created, when it cannot be
// (or, on Windows, when the target is read-only or a folder).
bool BeginFileReplacement(FileReplacement* replacement, const char* path);

// Appends bytes to the temporary file. A failed write abandons the replacement, so that a
// later commit fails too.
bool AppendToFileReplacement(FileReplacement* replacement, const void* data, size_t size);

// Flushes the temporary file to disk, closes it and renames it over the target. False on any
// failure; the temporary file is then gone and the target as it was.
bool CommitFileReplacement(FileReplacement* replacement);

// Closes and deletes the temporary file; the target stays as it was. Harmless when nothing is
// under way.
void AbandonFileReplacement(FileReplacement* replacement);

// The replacement as the sink of a streaming writer.
ByteSink FileReplacementSink(FileReplacement* replacement);

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
