#include "adjust/resize_arithmetic.h"

#include <algorithm>

namespace {

// a × b / c in 64 bits, 0 when c is 0, limited to what an edit can show.
uint32_t Scale(uint32_t a, uint32_t b, uint32_t c) {
  if (c == 0) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{a} * b / c, UINT32_MAX));
}

}  // namespace

uint32_t HeightForWidth(ResizeNumbers present, uint32_t width) {
  return Scale(present.height, width, present.width);
}

uint32_t WidthForHeight(ResizeNumbers present, uint32_t height) {
  return Scale(present.width, height, present.height);
}

ResizeNumbers ConvertResizeNumbers(ResizeNumbers present, ResizeNumbers typed, SizeUnit from) {
  if (from == kResizePixels) {
    return {Scale(typed.width, 100, present.width), Scale(typed.height, 100, present.height)};
  }
  return {Scale(present.width, typed.width, 100), Scale(present.height, typed.height, 100)};
}

bool ResizeTarget(ResizeNumbers present, ResizeNumbers typed, SizeUnit unit,
                  ResizeNumbers* target) {
  const ResizeNumbers size =
      unit == kResizePercent ? ConvertResizeNumbers(present, typed, kResizePercent) : typed;
  if (size.width == 0 || size.height == 0) return false;
  if (size.width > kMaxResizeSide || size.height > kMaxResizeSide) return false;
  *target = size;
  return true;
}
