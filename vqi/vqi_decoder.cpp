#include "vqi/vqi_decoder.h"

#include <algorithm>
#include <memory>
#include <new>

#include "core/image_buffer.h"
#include "vqi/colour_models.h"
#include "vqi/plane_reader.h"
#include "vqi/vqi_file.h"

namespace {

using PlaneBuffer = std::unique_ptr<uint8_t[]>;

PlaneBuffer AllocatePlane(size_t size) { return PlaneBuffer(new (std::nothrow) uint8_t[size]); }

constexpr int32_t kBandBytes = 16384;

// Pixels of `rows` memory rows from `firstRow` on, in memory order; the bands hold those
// rows of each plane. Each row of the target starts at its stride.
void ComposeRows(const VqiLayout& layout, const PlaneBuffer planes[], int32_t firstRow,
                 int32_t rows, const LumaDecoder& luma, ImageBuffer* target) {
  const int32_t width = layout.width;
  const VqiPlaneLayout kind = PlaneLayoutOf(layout);
  for (int32_t band = 0; band < rows; ++band) {
    uint8_t* p = target->pixels + static_cast<size_t>(firstRow + band) * target->stride;
    const size_t k0 = static_cast<size_t>(band) * width;
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
        for (int32_t x = 0; x < width; ++x, p += 3) luma.Decode(p0[x], p1[x], p2[x], p);
        break;
      case VqiPlaneLayout::kLumaAlpha:
        for (int32_t x = 0; x < width; ++x, p += 3) {
          uint8_t colour[3];
          luma.Decode(p0[x], p1[x], p2[x], colour);
          for (int c = 0; c < 3; ++c) p[c] = BlendUnderAlpha(p[c], colour[c], p3[x]);
        }
        break;
    }
  }
}

}  // namespace

bool ReadVqiImage(ImageBuffer* target, const uint8_t* data, size_t length) {
  VqiLayout layout;
  if (!ParseVqiFile(data, length, &layout)) return false;
  const bool drawInto = target->kind != kImageEmpty;
  if (drawInto && (target->bitsPerPixel != 24 || target->width < layout.width ||
                   target->height < layout.height)) {
    return false;
  }
  const size_t pixelCount = static_cast<size_t>(layout.width) * layout.height;
  PlaneReader readers[kVqiMaxPlanes];
  for (int i = 0; i < layout.planeCount; ++i) {
    if (!readers[i].Open(data, layout.planes[i], pixelCount)) return false;
  }
  // The planes are decoded a band of rows at a time, small enough to stay in the cache.
  const int32_t bandRows = std::max<int32_t>(1, kBandBytes / layout.width);
  const size_t bandSize = static_cast<size_t>(bandRows) * layout.width;
  PlaneBuffer bands[kVqiMaxPlanes];
  for (int i = 0; i < layout.planeCount; ++i) {
    bands[i] = AllocatePlane(bandSize);
    if (!bands[i]) return false;
  }
  if (!drawInto && !CreateImageBuffer(target, layout.width, 24, layout.height)) return false;
  const LumaDecoder luma;
  for (int32_t row = 0; row < layout.height; row += bandRows) {
    const int32_t rows = std::min(bandRows, layout.height - row);
    const size_t count = static_cast<size_t>(rows) * layout.width;
    for (int i = 0; i < layout.planeCount; ++i) {
      if (!readers[i].Read(bands[i].get(), count)) {
        // A fresh target goes back to empty; one that held an image keeps the rows drawn.
        if (!drawInto) FreeImageBuffer(target);
        return false;
      }
    }
    ComposeRows(layout, bands, row, rows, luma, target);
  }
  return true;
}
