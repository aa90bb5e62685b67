#pragma once
// A pixel of a 24-bit image as 0xRRGGBB, with y counted from the top.

#include "core/image_buffer.h"

inline uint32_t PixelAt(const ImageBuffer& image, int32_t x, int32_t y) {
  const uint8_t* p = image.pixels + (image.height - 1 - y) * image.stride + 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}
