#include "vqi/pixel_compose.h"

#include <cstddef>

#include "core/image_buffer.h"
#include "core/pixel_vectors.h"
#include "core/vector_code.h"
#include "vqi/colour_models.h"

#if PELORA_HAS_VECTOR_CODE
#include <emmintrin.h>
#endif

namespace {

// One memory row of `width` pixels at `p` from the planes' bytes at column 0.
void ComposeRowPlain(VqiPlaneLayout layout, int32_t width, const uint8_t* const planes[],
                     uint8_t* p) {
  static const LumaDecoder luma;
  const uint8_t* p0 = planes[0];
  const uint8_t* p1 = planes[1];
  const uint8_t* p2 = planes[2];
  const uint8_t* p3 = planes[3];
  switch (layout) {
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

#if PELORA_HAS_VECTOR_CODE

// Sixteen pixels from their blue, green and red bytes as 48 bytes at `out`.
PELORA_SSE2 inline void StoreSixteenPixels(uint8_t* out, __m128i b, __m128i g, __m128i r) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i bgLow = _mm_unpacklo_epi8(b, g);
  const __m128i bgHigh = _mm_unpackhi_epi8(b, g);
  const __m128i rLow = _mm_unpacklo_epi8(r, zero);
  const __m128i rHigh = _mm_unpackhi_epi8(r, zero);
  StoreFourPixels(out, _mm_unpacklo_epi16(bgLow, rLow));
  StoreFourPixels(out + 12, _mm_unpackhi_epi16(bgLow, rLow));
  StoreFourPixels(out + 24, _mm_unpacklo_epi16(bgHigh, rHigh));
  StoreFourPixels(out + 36, _mm_unpackhi_epi16(bgHigh, rHigh));
}

struct Bgr16 {
  __m128i b, g, r;  // eight 16-bit values each, not yet clamped
};

// The inverse luma transform of eight pixels in 16-bit lanes. (32 × yR) / 23 is
// (2 × yR × 45591) >> 16 for every byte yR; the unit tests hold the loop to the formulas.
PELORA_SSE2 inline Bgr16 LumaToBgr(__m128i y, __m128i yR, __m128i yB) {
  const __m128i red = _mm_sub_epi16(
      _mm_mulhi_epu16(_mm_add_epi16(yR, yR), _mm_set1_epi16(static_cast<short>(45591))),
      _mm_set1_epi16(178));
  const __m128i blue = _mm_sub_epi16(_mm_srli_epi16(_mm_mullo_epi16(yB, _mm_set1_epi16(13)), 3),
                                     _mm_set1_epi16(208));
  const __m128i green = _mm_srai_epi16(
      _mm_sub_epi16(_mm_setzero_si128(), _mm_add_epi16(_mm_mullo_epi16(red, _mm_set1_epi16(5)),
                                                       _mm_mullo_epi16(blue, _mm_set1_epi16(3)))),
      3);
  return {_mm_add_epi16(y, blue), _mm_add_epi16(y, green), _mm_add_epi16(y, red)};
}

// Sixteen columns at a time from 0; gives the first column left to the plain loop.
PELORA_SSE2 int32_t ComposeRowSse2(VqiPlaneLayout layout, int32_t width,
                                   const uint8_t* const planes[], uint8_t* p) {
  const __m128i zero = _mm_setzero_si128();
  int32_t x = 0;
  for (; x + 16 <= width; x += 16, p += 48) {
    const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(planes[0] + x));
    if (layout == VqiPlaneLayout::kGray) {
      StoreSixteenPixels(p, p0, p0, p0);
      continue;
    }
    const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(planes[1] + x));
    const __m128i p2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(planes[2] + x));
    if (layout == VqiPlaneLayout::kRgb) {
      StoreSixteenPixels(p, p0, p1, p2);
      continue;
    }
    const Bgr16 low = LumaToBgr(_mm_unpacklo_epi8(p0, zero), _mm_unpacklo_epi8(p1, zero),
                                _mm_unpacklo_epi8(p2, zero));
    const Bgr16 high = LumaToBgr(_mm_unpackhi_epi8(p0, zero), _mm_unpackhi_epi8(p1, zero),
                                 _mm_unpackhi_epi8(p2, zero));
    // Packing with unsigned saturation clamps to 0–255.
    StoreSixteenPixels(p, _mm_packus_epi16(low.b, high.b), _mm_packus_epi16(low.g, high.g),
                       _mm_packus_epi16(low.r, high.r));
  }
  return x;
}

#endif

}  // namespace

void ComposeRows(VqiPlaneLayout layout, int32_t width, const uint8_t* const planes[],
                 int32_t firstRow, int32_t rows, ImageBuffer* target) {
#if PELORA_HAS_VECTOR_CODE
  const bool vector =
      UseSse2() && (layout == VqiPlaneLayout::kRgb || layout == VqiPlaneLayout::kGray ||
                    layout == VqiPlaneLayout::kLuma);
#endif
  for (int32_t row = 0; row < rows; ++row) {
    uint8_t* p = target->pixels + static_cast<size_t>(firstRow + row) * target->stride;
    const size_t offset = static_cast<size_t>(row) * width;
    const uint8_t* bytes[kVqiMaxPlanes] = {};
    for (int i = 0; i < kVqiMaxPlanes && planes[i] != nullptr; ++i) bytes[i] = planes[i] + offset;
    int32_t done = 0;
#if PELORA_HAS_VECTOR_CODE
    if (vector) done = ComposeRowSse2(layout, width, bytes, p);
#endif
    const uint8_t* rest[kVqiMaxPlanes] = {};
    for (int i = 0; i < kVqiMaxPlanes && bytes[i] != nullptr; ++i) rest[i] = bytes[i] + done;
    ComposeRowPlain(layout, width - done, rest, p + 3 * static_cast<size_t>(done));
  }
}
