#include "scan/document_text.h"

#include <cstring>

#include "core/path_text.h"

bool IsScannerRequest(const char* text) { return std::strncmp(text, "CMD:TWAIN", 9) == 0; }

std::string DocumentName(const char* path) {
  const long separator = LastPathSeparator(path, std::strlen(path));
  return separator > 0 ? path + separator + 1 : path;
}

std::string DocumentTitle(const char* path, DocumentPages pages) {
  std::string title = DocumentName(path);
  if (pages.count > 1) {
    title += " (" + std::to_string(pages.current + 1) + "/" + std::to_string(pages.count) + ")";
  }
  return title + " - Pelora";
}
