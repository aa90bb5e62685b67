#include <windows.h>

#include "core/image_buffer.h"
#include "core/image_layout.h"

static_assert(sizeof(DibInfo) == sizeof(BITMAPINFO));

bool CreateImageBuffer(ImageBuffer* record, int32_t width, int32_t bitsPerPixel, int32_t height) {
  if (bitsPerPixel == 0) bitsPerPixel = 24;
  if (!IsSupportedImageSize(width, bitsPerPixel, height)) return false;
  DescribeImage(record, width, bitsPerPixel, height);
  record->kind = kImageEmpty;  // until the bitmap exists
  record->dpiX = record->dpiY = 0;

  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return false;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&record->info),
                                    DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    DeleteDC(dc);
    return false;
  }
  SelectObject(dc, bitmap);
  record->memoryDC = dc;
  record->bitmap = bitmap;
  record->pixels = static_cast<uint8_t*>(bits);
  record->kind = bitsPerPixel == 32 ? kImage32 : kImage24;
  return true;
}

void FreeImageBuffer(ImageBuffer* record) {
  if (record->kind != kImageEmpty) {
    DeleteDC(record->memoryDC);
    DeleteObject(record->bitmap);
  }
  record->kind = kImageEmpty;
}
