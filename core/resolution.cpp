#include "core/resolution.h"

#include <cstdint>

int32_t DotsPerInchFromPelsPerMeter(int32_t pelsPerMeter) {
  // 0.0254 metres to the inch; the largest header value gives about 54.5 million.
  return pelsPerMeter > 0 ? static_cast<int32_t>((int64_t{pelsPerMeter} * 254 + 5000) / 10000) : 0;
}

int32_t ResizedDotsPerInch(int32_t dpi, int32_t oldPixels, int32_t newPixels) {
  if (dpi <= 0 || oldPixels <= 0 || newPixels <= 0) return 0;
  const int64_t resized = (int64_t{dpi} * newPixels + oldPixels / 2) / oldPixels;
  return resized > 0 && resized <= INT32_MAX ? static_cast<int32_t>(resized) : 0;
}
