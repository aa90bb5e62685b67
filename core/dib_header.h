#pragma once
// The bitmap information header of Windows DIBs and BMP files, laid out byte for byte as the
// system's BITMAPINFO (a 40-byte header and one colour entry), without <windows.h>.

#include <cstddef>
#include <cstdint>

struct DibHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40);

struct DibInfo {
  DibHeader header;
  uint32_t colors[1];
};
static_assert(sizeof(DibInfo) == 44);

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;
