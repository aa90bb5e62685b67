#include "core/bmp_decoder.h"

#include <cstring>

#include "core/bmp_format.h"
#include "core/image_buffer.h"

namespace {

// Scales the bits of `mask` in `value` to 0–255; an empty mask gives 0.
struct MaskChannel {
  int shift = 0;
  uint32_t max = 0;

  explicit MaskChannel(uint32_t mask) {
    if (mask == 0) return;
    while ((mask & 1) == 0) {
      mask >>= 1;
      ++shift;
    }
    max = mask;
  }

  uint8_t Extract(uint32_t value) const {
    if (max == 0) return 0;
    return static_cast<uint8_t>((uint64_t{(value >> shift) & max} * 255 + max / 2) / max);
  }
};

void PutColour(uint8_t* p, uint32_t rgb) {
  p[0] = static_cast<uint8_t>(rgb);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb >> 16);
}

void DecodeRow(const DibInfoWithColors& info, const uint8_t* in, uint8_t* out, int32_t width,
               const MaskChannel masks[3]) {
  const int bits = info.header.biBitCount;
  for (int32_t x = 0; x < width; ++x, out += 3) {
    switch (bits) {
      case 1:
      case 4:
      case 8: {
        const int perByte = 8 / bits;
        const int shift = 8 - bits * (x % perByte + 1);
        const uint8_t index = static_cast<uint8_t>((in[x / perByte] >> shift) & ((1 << bits) - 1));
        PutColour(out, info.colors[index]);
        break;
      }
      case 16: {
        const uint32_t value = in[2 * x] | uint32_t{in[2 * x + 1]} << 8;
        out[0] = masks[2].Extract(value);
        out[1] = masks[1].Extract(value);
        out[2] = masks[0].Extract(value);
        break;
      }
      case 24:
        std::memcpy(out, in + 3 * x, 3);
        break;
      default: {  // 32
        const uint8_t* p = in + 4 * x;
        const uint32_t value =
            p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        out[0] = masks[2].Extract(value);
        out[1] = masks[1].Extract(value);
        out[2] = masks[0].Extract(value);
        break;
      }
    }
  }
}

// Plays run-length data into the image's bottom-up rows: runs, literal pixels, ends of lines,
// moves. Pixels that land outside the image are dropped; those no code reaches stay black, as
// the system leaves them.
void DecodeRunLength(const DibInfoWithColors& info, const uint8_t* data, size_t size,
                     ImageBuffer* image) {
  const bool fourBit = info.header.biCompression == kBiRle4;
  int64_t x = 0, y = 0;
  const auto put = [&](uint8_t index) {
    if (x < image->width && y < image->height) {
      PutColour(image->pixels + y * image->stride + 3 * x, info.colors[index]);
    }
    ++x;
  };
  // The i-th pixel of a byte: two four-bit indices, high nibble first, or one of eight bits.
  const auto index = [fourBit](uint8_t byte, int i) {
    return fourBit ? static_cast<uint8_t>(i % 2 ? byte & 15 : byte >> 4) : byte;
  };
  size_t pos = 0;
  while (pos + 2 <= size) {
    const uint8_t count = data[pos], code = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(index(code, i));
    } else if (code == 0) {
      x = 0;
      ++y;
    } else if (code == 1) {
      return;
    } else if (code == 2) {
      if (pos + 2 > size) return;
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
    } else {
      const size_t bytes = fourBit ? (code + 1u) / 2 : code;
      if (pos + bytes > size) return;
      for (int i = 0; i < code; ++i) put(index(data[pos + (fourBit ? i / 2 : i)], i));
      pos += (bytes + 1) & ~size_t{1};
    }
  }
}

}  // namespace

bool DecodeBmpImage(const uint8_t* bytes, size_t length, ImageBuffer* target, bool* noMemory) {
  if (noMemory != nullptr) *noMemory = false;
  BmpLayout layout;
  if (!ParseBmpFile(bytes, length, &layout)) return false;
  const DibHeader& header = layout.info.header;
  const bool runLength = header.biCompression == kBiRle8 || header.biCompression == kBiRle4;
  // Run-length data is laid out bottom-up only, eight or four bits as its kind says.
  if (runLength &&
      (header.biHeight < 0 || header.biBitCount != (header.biCompression == kBiRle8 ? 8 : 4))) {
    return false;
  }
  if (!runLength && header.biCompression != kBiRgb && header.biCompression != kBiBitfields) {
    return false;
  }
  // Red, green, blue masks: the file's bit fields, or the fixed layouts of plain 16 and 32 bits.
  uint32_t maskValues[3] = {0xFF0000, 0xFF00, 0xFF};
  if (header.biCompression == kBiBitfields) {
    for (int i = 0; i < 3; ++i) maskValues[i] = layout.info.colors[i];
  } else if (header.biBitCount == 16) {
    maskValues[0] = 0x7C00;
    maskValues[1] = 0x03E0;
    maskValues[2] = 0x001F;
  }
  const MaskChannel masks[3] = {MaskChannel(maskValues[0]), MaskChannel(maskValues[1]),
                                MaskChannel(maskValues[2])};

  const bool topDown = header.biHeight < 0;
  const int32_t height = topDown ? -header.biHeight : header.biHeight;
  const int32_t width = header.biWidth;
  // The size is one the file format allows: only memory can be wanting.
  if (!CreateImageBuffer(target, width, 24, height)) {
    if (noMemory != nullptr) *noMemory = true;
    return false;
  }
  if (runLength) {
    DecodeRunLength(layout.info, bytes + layout.pixelOffset, header.biSizeImage, target);
    return true;
  }
  const size_t rowBytes = (static_cast<size_t>(width) * header.biBitCount + 31) / 32 * 4;
  for (int32_t row = 0; row < height; ++row) {
    // Image rows are bottom-up in memory, as in a bottom-up file.
    const int32_t fileRow = topDown ? height - 1 - row : row;
    const uint8_t* in = bytes + layout.pixelOffset + rowBytes * fileRow;
    DecodeRow(layout.info, in, target->pixels + static_cast<size_t>(row) * target->stride, width,
              masks);
  }
  return true;
}
