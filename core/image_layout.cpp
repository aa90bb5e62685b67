#include "core/image_layout.h"

#include "core/image_buffer.h"

int32_t ImageStride(int32_t width, int32_t bitsPerPixel) {
  return (width * (bitsPerPixel / 8) + 3) & ~3;
}

bool IsSupportedImageSize(int32_t width, int32_t bitsPerPixel, int32_t height) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  if (width <= 0 || height <= 0) return false;
  return int64_t{width} * height <= kMaxImagePixels;
}

void DescribeImage(ImageBuffer* record, int32_t width, int32_t bitsPerPixel, int32_t height) {
  if (bitsPerPixel == 0) bitsPerPixel = 24;
  record->kind = bitsPerPixel == 32 ? kImage32 : kImage24;
  record->bitsPerPixel = bitsPerPixel;
  record->width = width;
  record->height = height;
  record->stride = ImageStride(width, bitsPerPixel);
  record->info = DibInfo{};
  DibHeader& h = record->info.header;
  h.biSize = sizeof(DibHeader);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<uint16_t>(bitsPerPixel);
  h.biCompression = kBiRgb;
  h.biSizeImage = static_cast<uint32_t>(record->stride) * static_cast<uint32_t>(height);
}
