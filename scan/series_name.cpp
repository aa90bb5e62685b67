#include "scan/series_name.h"

#include <cctype>

#include "core/path_text.h"

std::string SeriesFilePath(const std::string& model, int number) {
  const long separator = LastPathSeparator(model.c_str(), model.size());
  size_t insertAt = model.rfind('.');
  if (insertAt == std::string::npos || static_cast<long>(insertAt) < separator) {
    insertAt = model.size();
  }
  return model.substr(0, insertAt) + std::to_string(number) + model.substr(insertAt);
}

bool IsPdfSeries(const std::string& model) {
  if (model.size() < 4) return false;
  std::string ending = model.substr(model.size() - 4);
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending == ".pdf";
}
