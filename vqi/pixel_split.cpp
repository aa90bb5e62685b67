#include "vqi/pixel_split.h"

#include <cstddef>

#include "core/image_buffer.h"
#include "core/pixel_vectors.h"
#include "core/vector_code.h"
#include "vqi/colour_models.h"

#if PELORA_HAS_VECTOR_CODE
#include <emmintrin.h>
#endif

namespace {

void SplitRowPlain(const uint8_t* p, int32_t width, int bytesPerPixel, bool rgb,
                   uint8_t* const out[3]) {
  for (int32_t x = 0; x < width; ++x, p += bytesPerPixel) {
    if (rgb) {
      out[0][x] = p[0];
      out[1][x] = p[1];
      out[2][x] = p[2];
    } else {
      const LumaPixel luma = LumaFromRgb(p[2], p[1], p[0]);
      out[0][x] = luma.y;
      out[1][x] = luma.yR;
      out[2][x] = luma.yB;
    }
  }
}

#if PELORA_HAS_VECTOR_CODE

// Byte `shift` / 8 of every pixel of two groups of four, as eight 16-bit values.
PELORA_SSE2 inline __m128i Channel(__m128i low, __m128i high, int shift) {
  const __m128i mask = _mm_set1_epi32(0xFF);
  return _mm_packs_epi32(_mm_and_si128(_mm_srl_epi32(low, _mm_cvtsi32_si128(shift)), mask),
                         _mm_and_si128(_mm_srl_epi32(high, _mm_cvtsi32_si128(shift)), mask));
}

struct Planes8 {
  __m128i p0, p1, p2;  // eight 16-bit values each
};

// The luma bytes of eight pixels. (d / 13 for 0 ≤ d < 6564 is (d × 5042) >> 16.)
PELORA_SSE2 inline Planes8 LumaFromBgr(__m128i b, __m128i g, __m128i r) {
  const __m128i y = _mm_srli_epi16(
      _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(r, _mm_set1_epi16(5)), _mm_slli_epi16(g, 3)),
                    _mm_mullo_epi16(b, _mm_set1_epi16(3))),
      4);
  const __m128i yR = _mm_srli_epi16(
      _mm_mullo_epi16(_mm_add_epi16(_mm_sub_epi16(r, y), _mm_set1_epi16(178)), _mm_set1_epi16(23)),
      5);
  const __m128i dividend =
      _mm_add_epi16(_mm_slli_epi16(_mm_sub_epi16(b, y), 3), _mm_set1_epi16(1664));
  const __m128i yB =
      _mm_min_epi16(_mm_mulhi_epu16(dividend, _mm_set1_epi16(5042)), _mm_set1_epi16(255));
  return {y, yR, yB};
}

// Sixteen columns at a time from 0; gives the first column left to the plain loop.
PELORA_SSE2 int32_t SplitRowSse2(const uint8_t* p, int32_t width, bool rgb, uint8_t* const out[3]) {
  int32_t x = 0;
  for (; x + 16 <= width; x += 16, p += 48) {
    Planes8 halves[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i low = LoadFourPixels(p + 24 * h);
      const __m128i high = LoadFourPixels(p + 24 * h + 12);
      const __m128i b = Channel(low, high, 0);
      const __m128i g = Channel(low, high, 8);
      const __m128i r = Channel(low, high, 16);
      halves[h] = rgb ? Planes8{b, g, r} : LumaFromBgr(b, g, r);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[0] + x),
                     _mm_packus_epi16(halves[0].p0, halves[1].p0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[1] + x),
                     _mm_packus_epi16(halves[0].p1, halves[1].p1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[2] + x),
                     _mm_packus_epi16(halves[0].p2, halves[1].p2));
  }
  return x;
}

#endif

}  // namespace

void SplitPixels(const ImageBuffer& image, bool rgb, uint8_t* const planes[3]) {
  const int bytesPerPixel = image.bitsPerPixel / 8;
#if PELORA_HAS_VECTOR_CODE
  const bool vector = UseSse2() && bytesPerPixel == 3;
#endif
  for (int32_t row = 0; row < image.height; ++row) {
    const uint8_t* p = image.pixels + static_cast<size_t>(row) * image.stride;
    const size_t k0 = static_cast<size_t>(row) * image.width;
    uint8_t* out[3] = {planes[0] + k0, planes[1] + k0, planes[2] + k0};
    int32_t done = 0;
#if PELORA_HAS_VECTOR_CODE
    if (vector) done = SplitRowSse2(p, image.width, rgb, out);
#endif
    uint8_t* rest[3] = {out[0] + done, out[1] + done, out[2] + done};
    SplitRowPlain(p + static_cast<size_t>(done) * bytesPerPixel, image.width - done, bytesPerPixel,
                  rgb, rest);
  }
}
