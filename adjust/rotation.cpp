#include "adjust/rotation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Square blocks of source pixels small enough that their source and destination rows all stay
// in the cache while the block is copied.
constexpr int32_t kTile = 32;

// Moves every field of `source` into `target`, which must be empty; `source` becomes empty.
void MoveImageInto(ImageBuffer* target, ImageBuffer* source) {
  target->bitsPerPixel = source->bitsPerPixel;
  target->width = source->width;
  target->height = source->height;
  target->pixels = source->pixels;
  target->stride = source->stride;
  target->memoryDC = source->memoryDC;
  target->bitmap = source->bitmap;
  target->info = source->info;
  target->kind = source->kind;
  source->kind = kImageEmpty;
}

}  // namespace

void RotateImage(ImageBuffer* image, int direction) {
  if (image->kind == kImageEmpty || image->bitsPerPixel != 24) return;
  if (direction != kTurnLeft && direction != kTurnRight) return;
  const int32_t width = image->width;
  const int32_t height = image->height;
  ImageBuffer turned;
  if (!CreateImageBuffer(&turned, height, 24, width)) return;

  const ptrdiff_t sourceStride = image->stride;
  const ptrdiff_t turnedStride = turned.stride;
  // Source pixel (x, y) goes to turned row W-1-x, column y (right) or row x, column H-1-y
  // (left). Each turned row is written left to right or right to left from one source column.
  const bool right = direction == kTurnRight;
  const ptrdiff_t columnStep = right ? 3 : -3;
  for (int32_t x0 = 0; x0 < width; x0 += kTile) {
    const int32_t x1 = std::min(width, x0 + kTile);
    for (int32_t y0 = 0; y0 < height; y0 += kTile) {
      const int32_t y1 = std::min(height, y0 + kTile);
      for (int32_t x = x0; x < x1; ++x) {
        const uint8_t* from = image->pixels + y0 * sourceStride + ptrdiff_t{x} * 3;
        uint8_t* to = turned.pixels + (right ? width - 1 - x : x) * turnedStride +
                      ptrdiff_t{right ? y0 : height - 1 - y0} * 3;
        for (int32_t y = y0; y < y1; ++y, from += sourceStride, to += columnStep) {
          std::memcpy(to, from, 3);
        }
      }
    }
  }

  FreeImageBuffer(image);
  MoveImageInto(image, &turned);
}
