#include "vqi/vqi_file.h"

#include "core/image_layout.h"

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

bool HasVqiMagic(const uint8_t* data, size_t length) {
  return length >= 3 && data[0] == 'V' && data[1] == 'Q' && data[2] == 'I';
}

bool ParseVqiFile(const uint8_t* data, size_t length, VqiLayout* layout) {
  if (!HasVqiMagic(data, length) || length < kVqiHeaderSize) return false;
  layout->width = static_cast<int32_t>(Read32(data + 12));
  layout->height = static_cast<int32_t>(Read32(data + 16));
  layout->colourModel = Read16(data + 20);
  layout->planeCount = data[22];
  if (layout->planeCount < 1 || layout->planeCount > kVqiMaxPlanes) return false;
  if (layout->width <= 0 || layout->height <= 0 ||
      int64_t{layout->width} * layout->height > kMaxImagePixels) {
    return false;
  }
  const size_t tableEnd = kVqiHeaderSize + kVqiPlaneEntrySize * layout->planeCount;
  if (length < tableEnd) return false;
  // The data offset field is taken as the file gives it (signed), as every reader does.
  const int16_t dataOffset = static_cast<int16_t>(Read16(data + 8));
  if (dataOffset < 0) return false;
  uint64_t offset = static_cast<uint16_t>(dataOffset);
  for (int i = 0; i < layout->planeCount; ++i) {
    const uint8_t* entry = data + kVqiHeaderSize + kVqiPlaneEntrySize * i;
    VqiPlane& plane = layout->planes[i];
    plane.storedLength = Read32(entry);
    plane.flags = Read32(entry + 4);
    plane.offset = static_cast<size_t>(offset);
    offset += plane.storedLength;
    if (offset > length) return false;
  }
  return true;
}

VqiPlaneLayout PlaneLayoutOf(const VqiLayout& layout) {
  if (layout.colourModel == kColourModelRgb && layout.planeCount == 3) return VqiPlaneLayout::kRgb;
  if (layout.colourModel == kColourModelRgb && layout.planeCount == 4) {
    return VqiPlaneLayout::kRgbAlpha;
  }
  switch (layout.planeCount) {
    case 1:
      return VqiPlaneLayout::kGray;
    case 2:
      return VqiPlaneLayout::kGrayAlpha;
    case 3:
      return VqiPlaneLayout::kLuma;
    default:
      return VqiPlaneLayout::kLumaAlpha;
  }
}
