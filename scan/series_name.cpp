#include "scan/series_name.h"

#include "core/image_file_names.h"
#include "core/path_text.h"

std::string SeriesFilePath(const std::string& model, int number) {
  const long separator = LastPathSeparator(model.c_str(), model.size());
  size_t insertAt = model.rfind('.');
  if (insertAt == std::string::npos || static_cast<long>(insertAt) < separator) {
    insertAt = model.size();
  }
  return model.substr(0, insertAt) + std::to_string(number) + model.substr(insertAt);
}

bool IsPdfPath(const std::string& path) {
  return PathEndsWithKey(path.c_str(), path.size(), ".pdf", 4);
}
