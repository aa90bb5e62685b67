#include "core/file_replace.h"

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
