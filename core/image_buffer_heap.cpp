// The image record outside Windows: the same layout, the pixels in zeroed heap memory.
#include <cstdlib>

#include "core/image_buffer.h"
#include "core/image_layout.h"

bool CreateImageBuffer(ImageBuffer* record, int32_t width, int32_t bitsPerPixel, int32_t height) {
  if (bitsPerPixel == 0) bitsPerPixel = 24;
  if (!IsSupportedImageSize(width, bitsPerPixel, height)) return false;
  DescribeImage(record, width, bitsPerPixel, height);
  record->kind = kImageEmpty;
  record->dpiX = record->dpiY = 0;
  void* bits = std::calloc(record->info.header.biSizeImage, 1);
  if (bits == nullptr) return false;
  record->pixels = static_cast<uint8_t*>(bits);
  record->memoryDC = nullptr;
  record->bitmap = nullptr;
  record->kind = bitsPerPixel == 32 ? kImage32 : kImage24;
  return true;
}

void FreeImageBuffer(ImageBuffer* record) {
  if (record->kind != kImageEmpty) std::free(record->pixels);
  record->kind = kImageEmpty;
}
