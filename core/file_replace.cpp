#include "core/file_replace.h"

std::string TemporarySiblingPath(const char* path, int attempt) {
  return std::string(path) + "." + std::to_string(attempt) + ".tmp";
}
