#include "core/bmp_format.h"

#include <cstdint>
#include <cstring>

#include "core/image_buffer.h"
#include "core/image_layout.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void Write16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Write32(uint8_t* p, uint32_t v) {
  Write16(p, v);
  Write16(p + 2, v >> 16);
}

bool IsInfoHeaderSize(uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool FitsIn(size_t length, size_t offset, uint64_t count) {
  return offset <= length && count <= length - offset;
}

bool DepthAndCompressionMatch(uint16_t bitCount, uint32_t compression, int32_t height) {
  switch (compression) {
    case kBiRgb:
      return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
             bitCount == 32;
    case kBiRle8:
      return bitCount == 8 && height > 0;
    case kBiRle4:
      return bitCount == 4 && height > 0;
    case kBiBitfields:
      return bitCount == 16 || bitCount == 32;
    default:
      return false;
  }
}

// Walks run-length data to its end-of-bitmap mark without leaving the file; gives the data's
// length. Pixels that runs place outside the image are the conversion's to drop.
bool MeasureRunLengthData(const uint8_t* bytes, size_t length, size_t start, bool fourBit,
                          size_t* measured) {
  size_t pos = start;
  for (;;) {
    if (!FitsIn(length, pos, 2)) return false;
    const uint8_t count = bytes[pos];
    const uint8_t code = bytes[pos + 1];
    pos += 2;
    if (count != 0 || code == 0) continue;  // a run, or the end of a line
    if (code == 1) break;                   // the end of the bitmap
    size_t skip = 2;                        // a move: two offsets follow
    if (code > 2) {                         // literal pixels, padded to a 16-bit boundary
      skip = fourBit ? (code + 1u) / 2 : code;
      skip = (skip + 1) & ~size_t{1};
    }
    if (!FitsIn(length, pos, skip)) return false;
    pos += skip;
  }
  *measured = pos - start;
  return true;
}

// The information header at `headerOffset`; the pixel data at `pixelOffset`, or straight
// after the colour table when that is kPixelsFollowTable.
constexpr size_t kPixelsFollowTable = SIZE_MAX;

bool ParseDib(const uint8_t* bytes, size_t length, size_t headerOffset, size_t pixelOffset,
              BmpLayout* layout) {
  if (!FitsIn(length, headerOffset, 4)) return false;
  const uint8_t* h = bytes + headerOffset;
  const uint32_t headerSize = Read32(h);
  const bool core = headerSize == kCoreHeaderSize;
  if (!core && !IsInfoHeaderSize(headerSize)) return false;
  if (!FitsIn(length, headerOffset, headerSize)) return false;

  DibHeader out{};
  out.biSize = sizeof(DibHeader);
  uint32_t colorsUsed = 0;
  if (core) {
    out.biWidth = Read16(h + 4);
    out.biHeight = Read16(h + 6);
    out.biPlanes = Read16(h + 8);
    out.biBitCount = Read16(h + 10);
    out.biCompression = kBiRgb;
    if (out.biBitCount == 16 || out.biBitCount == 32) return false;  // not in the core format
  } else {
    out.biWidth = static_cast<int32_t>(Read32(h + 4));
    out.biHeight = static_cast<int32_t>(Read32(h + 8));
    out.biPlanes = Read16(h + 12);
    out.biBitCount = Read16(h + 14);
    out.biCompression = Read32(h + 16);
    out.biXPelsPerMeter = static_cast<int32_t>(Read32(h + 24));
    out.biYPelsPerMeter = static_cast<int32_t>(Read32(h + 28));
    colorsUsed = Read32(h + 32);
  }
  if (out.biPlanes != 1 || out.biWidth <= 0 || out.biHeight == 0 || out.biHeight == INT32_MIN) {
    return false;
  }
  const int32_t rows = out.biHeight < 0 ? -out.biHeight : out.biHeight;
  if (int64_t{out.biWidth} * rows > kMaxImagePixels) return false;
  if (!DepthAndCompressionMatch(out.biBitCount, out.biCompression, out.biHeight)) return false;

  std::memset(layout->info.colors, 0, sizeof layout->info.colors);
  size_t tableOffset = headerOffset + headerSize;
  if (out.biCompression == kBiBitfields) {
    // A 40-byte header is followed by the masks; larger headers hold them at the same place.
    if (headerSize == 40) {
      if (!FitsIn(length, tableOffset, 12)) return false;
      tableOffset += 12;
    }
    for (int i = 0; i < 3; ++i) layout->info.colors[i] = Read32(h + 40 + 4 * i);
  } else if (out.biBitCount <= 8) {
    const uint32_t tableSize = 1u << out.biBitCount;
    if (colorsUsed > tableSize) return false;
    const uint32_t entries = colorsUsed == 0 ? tableSize : colorsUsed;
    const size_t entrySize = core ? 3 : 4;
    if (!FitsIn(length, tableOffset, uint64_t{entries} * entrySize)) return false;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* e = bytes + tableOffset + i * entrySize;
      layout->info.colors[i] = uint32_t{e[0]} | uint32_t{e[1]} << 8 | uint32_t{e[2]} << 16;
    }
    out.biClrUsed = tableSize;
    tableOffset += entries * entrySize;
  }
  if (pixelOffset == kPixelsFollowTable) pixelOffset = tableOffset;

  if (out.biCompression == kBiRle8 || out.biCompression == kBiRle4) {
    size_t measured = 0;
    if (!MeasureRunLengthData(bytes, length, pixelOffset, out.biCompression == kBiRle4,
                              &measured)) {
      return false;
    }
    out.biSizeImage = static_cast<uint32_t>(measured);
  } else {
    const uint64_t rowBytes =
        (uint64_t{static_cast<uint32_t>(out.biWidth)} * out.biBitCount + 31) / 32 * 4;
    const uint64_t dataBytes = rowBytes * static_cast<uint32_t>(rows);
    if (!FitsIn(length, pixelOffset, dataBytes)) return false;
    out.biSizeImage = static_cast<uint32_t>(dataBytes);
  }
  layout->info.header = out;
  layout->pixelOffset = pixelOffset;
  return true;
}

}  // namespace

bool ParseBmpFile(const uint8_t* bytes, size_t length, BmpLayout* layout) {
  if (!FitsIn(length, 0, kBmpFileHeaderSize + 4)) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  return ParseDib(bytes, length, kBmpFileHeaderSize, Read32(bytes + 10), layout);
}

bool ParsePackedDib(const uint8_t* bytes, size_t length, BmpLayout* layout) {
  return ParseDib(bytes, length, 0, kPixelsFollowTable, layout);
}

void BuildBmpFileHeader(const ImageBuffer& image, uint8_t out[kBmpFileHeaderSize]) {
  const uint32_t dataBytes = image.info.header.biSizeImage;
  out[0] = 'B';
  out[1] = 'M';
  Write32(out + 2, static_cast<uint32_t>(kBmpHeadersSize) + dataBytes);
  Write32(out + 6, 0);
  Write32(out + 10, static_cast<uint32_t>(kBmpHeadersSize));
}
