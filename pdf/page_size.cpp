#include "pdf/page_size.h"

#include <algorithm>

namespace {

constexpr double kA4ShortInches = 210 / 25.4;
constexpr double kA4LongInches = 297 / 25.4;
constexpr double kLeastDpi = 96;

double FittingDpi(int32_t width, int32_t height) {
  const double upright = std::max(width / kA4ShortInches, height / kA4LongInches);
  const double across = std::max(width / kA4LongInches, height / kA4ShortInches);
  return std::max(kLeastDpi, std::min(upright, across));
}

}  // namespace

PageSize PrintedPageSize(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) {
  double x = dpiX > 0 ? dpiX : dpiY;
  double y = dpiY > 0 ? dpiY : dpiX;
  if (x <= 0) x = y = FittingDpi(width, height);
  return {width * 72 / x, height * 72 / y};
}
