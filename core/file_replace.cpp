#include "core/file_replace.h"

FileReplacement::~FileReplacement() { AbandonFileReplacement(this); }

ByteSink FileReplacementSink(FileReplacement* replacement) {
  return {replacement, [](void* context, const void* data, size_t size) {
            return AppendToFileReplacement(static_cast<FileReplacement*>(context), data, size);
          }};
}

bool ReplaceFileContents(const char* path, const ByteSpan* parts, size_t partCount) {
  FileReplacement replacement;
  if (!BeginFileReplacement(&replacement, path)) return false;
  for (size_t i = 0; i < partCount; ++i) {
    if (!AppendToFileReplacement(&replacement, parts[i].data, parts[i].size)) return false;
  }
  return CommitFileReplacement(&replacement);
}

std::string TemporarySiblingPath(const char* path, int attempt) {
  const std::string target(path);
  // Everything up to the last separator names the folder (a drive letter's colon included).
  const size_t nameStart = target.find_last_of("\\/:") + 1;
  const size_t nameLength = target.size() - nameStart;
  std::string name = std::to_string(attempt);
  name.insert(0, 1, '~').append(".tmp");
  if (name.size() > nameLength && nameLength > 0) name.resize(nameLength);
  return target.substr(0, nameStart) + name;
}
