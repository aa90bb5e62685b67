#include "core/plugin_bitmap.h"

#include <cstring>

#include "core/image_buffer.h"
#include "core/image_layout.h"

namespace {

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool IsInfoHeaderSize(uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool DepthAndCompressionMatch(uint16_t bitCount, uint32_t compression) {
  if (compression == kBiBitfields) return bitCount == 16 || bitCount == 32;
  if (compression != kBiRgb) return false;
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
         bitCount == 32;
}

}  // namespace

bool CheckPluginBitmap(const uint8_t* info, size_t infoSize, size_t pixelSize, PluginBitmap* out) {
  if (infoSize < sizeof(DibHeader)) return false;
  const uint32_t headerSize = Read32(info);
  if (!IsInfoHeaderSize(headerSize) || headerSize > infoSize) return false;

  DibHeader header{};
  std::memcpy(&header, info, sizeof header);
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return false;
  const int32_t rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  if (int64_t{header.biWidth} * rows > kMaxImagePixels) return false;
  if (!DepthAndCompressionMatch(header.biBitCount, header.biCompression)) return false;

  std::memset(out->info.colors, 0, sizeof out->info.colors);
  header.biClrUsed = 0;
  if (header.biCompression == kBiBitfields) {
    // A 40-byte header is followed by the masks; larger headers hold them at the same place.
    if (infoSize < sizeof(DibHeader) + 12) return false;
    for (int i = 0; i < 3; ++i) out->info.colors[i] = Read32(info + 40 + 4 * i);
  } else if (header.biBitCount <= 8) {
    const uint32_t tableSize = 1u << header.biBitCount;
    const uint32_t colorsUsed = Read32(info + 32);
    if (colorsUsed > tableSize) return false;
    const uint32_t entries = colorsUsed == 0 ? tableSize : colorsUsed;
    if (uint64_t{entries} * 4 > infoSize - headerSize) return false;
    for (uint32_t i = 0; i < entries; ++i) {
      out->info.colors[i] = Read32(info + headerSize + 4 * i) & 0xFFFFFF;
    }
    header.biClrUsed = tableSize;
  }

  const uint64_t rowBytes =
      (uint64_t{static_cast<uint32_t>(header.biWidth)} * header.biBitCount + 31) / 32 * 4;
  const uint64_t dataBytes = rowBytes * static_cast<uint32_t>(rows);
  if (dataBytes > pixelSize) return false;

  header.biSize = sizeof(DibHeader);
  header.biPlanes = 1;
  header.biSizeImage = static_cast<uint32_t>(dataBytes);
  header.biClrImportant = 0;
  out->info.header = header;
  out->width = header.biWidth;
  out->height = rows;
  out->topDown = header.biHeight < 0;
  return true;
}

bool IsPlain24BitBitmap(const PluginBitmap& bitmap) {
  return bitmap.info.header.biBitCount == 24 && bitmap.info.header.biCompression == kBiRgb;
}

void CopyPlain24BitRows(const PluginBitmap& bitmap, const uint8_t* pixels, ImageBuffer* target) {
  const size_t stride = static_cast<size_t>(target->stride);
  if (!bitmap.topDown) {
    std::memcpy(target->pixels, pixels, stride * static_cast<size_t>(bitmap.height));
    return;
  }
  for (int32_t row = 0; row < bitmap.height; ++row) {
    std::memcpy(target->pixels + stride * static_cast<size_t>(bitmap.height - 1 - row),
                pixels + stride * static_cast<size_t>(row), stride);
  }
}
