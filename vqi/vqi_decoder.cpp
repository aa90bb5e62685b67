#include "vqi/vqi_decoder.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/image_buffer.h"
#include "vqi/colour_models.h"
#include "vqi/delta_coding.h"
#include "vqi/huffman.h"
#include "vqi/run_length.h"
#include "vqi/vqi_file.h"

namespace {

using PlaneBuffer = std::unique_ptr<uint8_t[]>;

PlaneBuffer AllocatePlane(size_t size) { return PlaneBuffer(new (std::nothrow) uint8_t[size]); }

// Pixels in memory order; each row of the target starts at its stride.
void ComposePixels(const VqiLayout& layout, const PlaneBuffer planes[], ImageBuffer* target) {
  const int32_t width = layout.width;
  const VqiPlaneLayout kind = PlaneLayoutOf(layout);
  for (int32_t row = 0; row < layout.height; ++row) {
    uint8_t* p = target->pixels + static_cast<size_t>(row) * target->stride;
    const size_t k0 = static_cast<size_t>(row) * width;
    const uint8_t* p0 = planes[0].get() + k0;
    const uint8_t* p1 = layout.planeCount > 1 ? planes[1].get() + k0 : nullptr;
    const uint8_t* p2 = layout.planeCount > 2 ? planes[2].get() + k0 : nullptr;
    const uint8_t* p3 = layout.planeCount > 3 ? planes[3].get() + k0 : nullptr;
    switch (kind) {
      case VqiPlaneLayout::kRgb:
        for (int32_t x = 0; x < width; ++x, p += 3) {
          p[0] = p0[x];
          p[1] = p1[x];
          p[2] = p2[x];
        }
        break;
      case VqiPlaneLayout::kRgbAlpha:
        for (int32_t x = 0; x < width; ++x, p += 3) {
          p[0] = BlendUnderAlpha(p[0], p0[x], p3[x]);
          p[1] = BlendUnderAlpha(p[1], p1[x], p3[x]);
          p[2] = BlendUnderAlpha(p[2], p2[x], p3[x]);
        }
        break;
      case VqiPlaneLayout::kGray:
        for (int32_t x = 0; x < width; ++x, p += 3) p[0] = p[1] = p[2] = p0[x];
        break;
      case VqiPlaneLayout::kGrayAlpha:
        for (int32_t x = 0; x < width; ++x, p += 3) {
          for (int c = 0; c < 3; ++c) p[c] = BlendUnderAlpha(p[c], p0[x], p1[x]);
        }
        break;
      case VqiPlaneLayout::kLuma:
        for (int32_t x = 0; x < width; ++x, p += 3) RgbFromLuma(p0[x], p1[x], p2[x], p);
        break;
      case VqiPlaneLayout::kLumaAlpha:
        for (int32_t x = 0; x < width; ++x, p += 3) {
          uint8_t colour[3];
          RgbFromLuma(p0[x], p1[x], p2[x], colour);
          for (int c = 0; c < 3; ++c) p[c] = BlendUnderAlpha(p[c], colour[c], p3[x]);
        }
        break;
    }
  }
}

}  // namespace

bool DecodeVqiPlane(const uint8_t* data, const VqiPlane& plane, size_t pixelCount, uint8_t* out) {
  const uint8_t* stored = data + plane.offset;
  const bool huffman = (plane.flags & kPlaneHuffman) != 0;
  const bool rle = (plane.flags & kPlaneRle) != 0;
  if (huffman && rle) {
    HuffmanBlockFields fields;
    if (!ReadHuffmanBlockFields(stored, plane.storedLength, &fields)) return false;
    if (fields.symbolCount > pixelCount) return false;
    PlaneBuffer packets = AllocatePlane(fields.symbolCount);
    if (!packets) return false;
    if (HuffmanDecode(packets.get(), stored, plane.storedLength, 0) < 0) return false;
    std::memset(out, 0, pixelCount);
    if (!RleDecode(out, packets.get(), fields.symbolCount, pixelCount)) return false;
  } else if (huffman) {
    HuffmanBlockFields fields;
    if (!ReadHuffmanBlockFields(stored, plane.storedLength, &fields)) return false;
    if (fields.symbolCount > pixelCount) return false;
    std::memset(out + fields.symbolCount, 0, pixelCount - fields.symbolCount);
    if (HuffmanDecode(out, stored, plane.storedLength, 0) < 0) return false;
  } else if (rle) {
    std::memset(out, 0, pixelCount);
    if (!RleDecode(out, stored, plane.storedLength, pixelCount)) return false;
  } else {
    if (plane.storedLength < pixelCount) return false;
    std::memcpy(out, stored, pixelCount);
  }
  if ((plane.flags & kPlaneDelta) != 0) DeltaDecode(out, pixelCount);
  return true;
}

bool ReadVqiImage(ImageBuffer* target, const uint8_t* data, size_t length) {
  VqiLayout layout;
  if (!ParseVqiFile(data, length, &layout)) return false;
  const bool drawInto = target->kind != kImageEmpty;
  if (drawInto && (target->bitsPerPixel != 24 || target->width < layout.width ||
                   target->height < layout.height)) {
    return false;
  }
  // Every plane is decoded before the target is touched, so a damaged file changes nothing.
  const size_t pixelCount = static_cast<size_t>(layout.width) * layout.height;
  PlaneBuffer planes[kVqiMaxPlanes];
  for (int i = 0; i < layout.planeCount; ++i) {
    planes[i] = AllocatePlane(pixelCount);
    if (!planes[i] || !DecodeVqiPlane(data, layout.planes[i], pixelCount, planes[i].get())) {
      return false;
    }
  }
  if (!drawInto && !CreateImageBuffer(target, layout.width, 24, layout.height)) return false;
  ComposePixels(layout, planes, target);
  return true;
}
