#pragma once
// The one in-memory image record of the program: a 24-bit (or 32-bit) device-independent
// bitmap, rows bottom-up, each padded to a multiple of 4 bytes, pixels blue, green, red.
// On Windows the pixel memory is a DIB section selected into a memory DC, so the drawing
// functions and the pixel loops share it; elsewhere the same record is backed by heap memory.

#include <cstdint>

#include "core/dib_header.h"

// Opaque handle types; under STRICT they are exactly HDC and HBITMAP of <windows.h>.
struct HDC__;
struct HBITMAP__;

inline constexpr int32_t kImageEmpty = 0;
inline constexpr int32_t kImage24 = 1;
inline constexpr int32_t kImage32 = 257;

struct ImageBuffer {
  int32_t kind = kImageEmpty;
  int32_t bitsPerPixel = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint8_t* pixels = nullptr;
  int32_t stride = 0;
  HDC__* memoryDC = nullptr;
  HBITMAP__* bitmap = nullptr;
  DibInfo info{};
  // Dots per inch across and down; 0 where unknown. A new image starts unknown.
  int32_t dpiX = 0;
  int32_t dpiY = 0;

  ImageBuffer() = default;
  ImageBuffer(const ImageBuffer&) = delete;
  ImageBuffer& operator=(const ImageBuffer&) = delete;
  ~ImageBuffer();
};

// Makes `record` (which must be empty) hold a new black image. bitsPerPixel 0 means 24.
// Returns false, with the record left empty, when the size is not positive, too large, or the
// system cannot supply the memory.
bool CreateImageBuffer(ImageBuffer* record, int32_t width, int32_t bitsPerPixel, int32_t height);

// Releases the image; the record becomes empty. Freeing an empty record does nothing more.
void FreeImageBuffer(ImageBuffer* record);

// Frees the image and the heap record itself.
void DeleteImageBuffer(ImageBuffer* record);

// Releases the target's image and moves the replacement's into the same record, which the
// view and every pointer to it keep; the replacement becomes empty.
void ReplaceImage(ImageBuffer* target, ImageBuffer* replacement);
