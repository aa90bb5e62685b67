#include "scan/document_text.h"

#include <cstring>

#include "core/path_text.h"

bool IsScannerRequest(const char* text) { return std::strncmp(text, "CMD:TWAIN", 9) == 0; }

std::string DocumentTitle(const char* path) {
  const long separator = LastPathSeparator(path, std::strlen(path));
  const char* name = separator > 0 ? path + separator + 1 : path;
  return std::string(name) + " - Pelora";
}
