#include "adjust/hsv.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "core/vector_code.h"

#if PELORA_HAS_VECTOR_CODE
#include <immintrin.h>
#endif

namespace {

// n × 1024 / d for 0 <= n <= d <= 255, d > 0, without a division: a multiplication by the
// rounded-up reciprocal 2^32 / d gives the truncated quotient exactly for every such n
// (the unit tests check all of them).
constexpr std::array<uint64_t, 256> MakeReciprocals() {
  std::array<uint64_t, 256> r{};
  for (uint64_t d = 1; d < 256; ++d) r[d] = ((uint64_t{1} << 32) + d - 1) / d;
  return r;
}
constexpr std::array<uint64_t, 256> kReciprocal = MakeReciprocals();

inline int32_t Ratio1024(int32_t n, int32_t d) {
  return static_cast<int32_t>((static_cast<uint64_t>(n) * 1024 * kReciprocal[d]) >> 32);
}

// Scales past these limits give the same bytes (S' reaches 1024 and V' 255 for any non-zero
// input), so clamping there keeps every product inside 32 bits.
constexpr int32_t kSaturationScaleLimit = 1 << 20;
constexpr int32_t kValueScaleLimit = 1 << 18;

struct Scales {
  std::array<int32_t, 1025> saturation;  // S -> S'
  std::array<int32_t, 256> value;        // max component -> V'
};

void FillScales(Scales* s, int32_t saturationScale, int32_t valueScale) {
  saturationScale = std::clamp(saturationScale, 0, kSaturationScaleLimit);
  valueScale = std::clamp(valueScale, 0, kValueScaleLimit);
  for (int32_t i = 0; i <= 1024; ++i)
    s->saturation[i] = std::min((i * saturationScale) >> 10, 1024);
  for (int32_t i = 0; i < 256; ++i) s->value[i] = std::min((i * valueScale) >> 10, 255);
}

inline void AdjustPixel(uint8_t* pixel, int32_t hueShift, const Scales& scales) {
  const int32_t b = pixel[0], g = pixel[1], r = pixel[2];
  const int32_t mx = std::max({r, g, b});
  const int32_t mn = std::min({r, g, b});
  const int32_t v = scales.value[mx];
  int32_t s = 0;
  int32_t hue = 0;
  if (mx != 0) {
    const int32_t d = mx - mn;
    const int32_t saturation = Ratio1024(d, mx);
    if (saturation != 0) {
      s = scales.saturation[saturation];
      // Each of cR, cG and cB truncates on its own, so they are not folded into one ratio.
      if (r > g && r > b) {
        hue = Ratio1024(mx - b, d) - Ratio1024(mx - g, d);
      } else if (g > b) {
        hue = Ratio1024(mx - r, d) - Ratio1024(mx - b, d) + 2048;
      } else {
        hue = Ratio1024(mx - g, d) - Ratio1024(mx - r, d) + 4096;
      }
    }
  }
  if (s == 0) {
    pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>(v);
    return;
  }
  int32_t h = hue + hueShift;  // hue in [-1024, 5120], shift in [0, 6144)
  if (h < 0) h += kHueTurn;
  if (h >= kHueTurn) h -= kHueTurn;
  const int32_t sector = h >> 10;
  const int32_t f = h - (sector << 10);
  const int32_t p = ((1024 - s) * v) >> 10;
  const int32_t q = ((1048576 - f * s) * v) >> 20;
  const int32_t t = ((1048576 - (1024 - f) * s) * v) >> 20;
  int32_t nr, ng, nb;
  switch (sector) {
    case 0:
      nr = v, ng = t, nb = p;
      break;
    case 1:
      nr = q, ng = v, nb = p;
      break;
    case 2:
      nr = p, ng = v, nb = t;
      break;
    case 3:
      nr = p, ng = q, nb = v;
      break;
    case 4:
      nr = t, ng = p, nb = v;
      break;
    default:
      nr = v, ng = p, nb = q;
      break;
  }
  pixel[0] = static_cast<uint8_t>(nb);
  pixel[1] = static_cast<uint8_t>(ng);
  pixel[2] = static_cast<uint8_t>(nr);
}

#if PELORA_HAS_VECTOR_CODE

// n × 1024 / d for 0 <= n <= d <= 255, d > 0: single precision divides exactly enough, since
// a quotient of at most 1024 that is not whole lies at least 1/255 away from the next whole
// number.
PELORA_AVX2 inline __m256i Ratio1024(__m256i n, __m256i d) {
  return _mm256_cvttps_epi32(
      _mm256_div_ps(_mm256_cvtepi32_ps(_mm256_slli_epi32(n, 10)), _mm256_cvtepi32_ps(d)));
}

PELORA_AVX2 inline __m256i Choose(__m256i mask, __m256i yes, __m256i no) {
  return _mm256_blendv_epi8(no, yes, mask);
}

// Eight pixels in 32-bit lanes 0x00RRGGBB: the arithmetic of AdjustPixel without branches.
PELORA_AVX2 inline __m256i AdjustEightPixels(__m256i pixels, __m256i hueShift,
                                             __m256i saturationScale, __m256i valueScale) {
  const __m256i byteMask = _mm256_set1_epi32(0xFF);
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i b = _mm256_and_si256(pixels, byteMask);
  const __m256i g = _mm256_and_si256(_mm256_srli_epi32(pixels, 8), byteMask);
  const __m256i r = _mm256_srli_epi32(pixels, 16);
  const __m256i mx = _mm256_max_epi32(r, _mm256_max_epi32(g, b));
  const __m256i mn = _mm256_min_epi32(r, _mm256_min_epi32(g, b));
  const __m256i d = _mm256_sub_epi32(mx, mn);

  const __m256i v = _mm256_min_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(mx, valueScale), 10),
                                     _mm256_set1_epi32(255));
  const __m256i saturation = Ratio1024(d, _mm256_max_epi32(mx, one));  // 0 where mx is 0
  const __m256i s =
      _mm256_min_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(saturation, saturationScale), 10),
                       _mm256_set1_epi32(1024));

  const __m256i redDominates = _mm256_and_si256(_mm256_cmpgt_epi32(r, g), _mm256_cmpgt_epi32(r, b));
  const __m256i greenDominates = _mm256_andnot_si256(redDominates, _mm256_cmpgt_epi32(g, b));
  const __m256i blueDominates =
      _mm256_andnot_si256(_mm256_or_si256(redDominates, greenDominates), _mm256_set1_epi32(-1));
  const __m256i fromRed = _mm256_sub_epi32(mx, r);
  const __m256i fromGreen = _mm256_sub_epi32(mx, g);
  const __m256i fromBlue = _mm256_sub_epi32(mx, b);
  const __m256i first = Choose(redDominates, fromBlue, Choose(greenDominates, fromRed, fromGreen));
  const __m256i second = Choose(redDominates, fromGreen, Choose(greenDominates, fromBlue, fromRed));
  const __m256i offset = _mm256_or_si256(_mm256_and_si256(greenDominates, _mm256_set1_epi32(2048)),
                                         _mm256_and_si256(blueDominates, _mm256_set1_epi32(4096)));
  const __m256i divisor = _mm256_max_epi32(d, one);  // d is 0 only where s is 0
  __m256i h = _mm256_add_epi32(
      _mm256_sub_epi32(Ratio1024(first, divisor), Ratio1024(second, divisor)), offset);
  h = _mm256_add_epi32(h, hueShift);
  const __m256i turn = _mm256_set1_epi32(kHueTurn);
  h = _mm256_add_epi32(h, _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), h), turn));
  h = _mm256_sub_epi32(h, _mm256_andnot_si256(_mm256_cmpgt_epi32(turn, h), turn));

  const __m256i sector = _mm256_srli_epi32(h, 10);
  const __m256i f = _mm256_and_si256(h, _mm256_set1_epi32(1023));
  const __m256i unit = _mm256_set1_epi32(1024);
  const __m256i whole = _mm256_set1_epi32(1048576);
  const __m256i p = _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(unit, s), v), 10);
  const __m256i q = _mm256_srli_epi32(
      _mm256_mullo_epi32(_mm256_sub_epi32(whole, _mm256_mullo_epi32(f, s)), v), 20);
  const __m256i t = _mm256_srli_epi32(
      _mm256_mullo_epi32(_mm256_sub_epi32(whole, _mm256_mullo_epi32(_mm256_sub_epi32(unit, f), s)),
                         v),
      20);

  __m256i in[6];
  for (int i = 0; i < 6; ++i) in[i] = _mm256_cmpeq_epi32(sector, _mm256_set1_epi32(i));
  // Sector 0: (V, t, p); 1: (q, V, p); 2: (p, V, t); 3: (p, q, V); 4: (t, p, V); 5: (V, p, q).
  const __m256i red =
      Choose(_mm256_or_si256(in[0], in[5]), v, Choose(in[1], q, Choose(in[4], t, p)));
  const __m256i green =
      Choose(_mm256_or_si256(in[1], in[2]), v, Choose(in[0], t, Choose(in[3], q, p)));
  const __m256i blue =
      Choose(_mm256_or_si256(in[3], in[4]), v, Choose(in[2], t, Choose(in[5], q, p)));
  const __m256i grey = _mm256_cmpeq_epi32(s, _mm256_setzero_si256());
  const __m256i newRed = Choose(grey, v, red);
  const __m256i newGreen = Choose(grey, v, green);
  const __m256i newBlue = Choose(grey, v, blue);
  return _mm256_or_si256(_mm256_slli_epi32(newRed, 16),
                         _mm256_or_si256(_mm256_slli_epi32(newGreen, 8), newBlue));
}

// Eight pixels, each 128-bit half getting four of them, one per 32-bit lane. Reads 8 bytes
// beyond them.
PELORA_AVX2 inline __m256i LoadEightPixels(const uint8_t* p) {
  const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i halves =
      _mm256_permutevar8x32_epi32(raw, _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6));
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                          1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  return _mm256_shuffle_epi8(halves, spread);
}

// Writes exactly the 24 bytes: the next pixels are still to be read. (Masked stores would
// keep the next load waiting.)
PELORA_AVX2 inline void StoreEightPixels(uint8_t* p, __m256i pixels) {
  const __m256i gather = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i packed = _mm256_shuffle_epi8(pixels, gather);
  for (int half = 0; half < 2; ++half, p += 12) {
    const __m128i bytes =
        half == 0 ? _mm256_castsi256_si128(packed) : _mm256_extracti128_si256(packed, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), bytes);
    const int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8));
    std::memcpy(p + 8, &tail, 4);
  }
}

// Eight pixels at a time from column 0 while the bytes read beyond them lie in the row; gives
// the first column left to the plain loop.
PELORA_AVX2 int32_t AdjustRowAvx2(uint8_t* row, int32_t width, int32_t hueShift,
                                  int32_t saturationScale, int32_t valueScale) {
  const __m256i shift = _mm256_set1_epi32(hueShift);
  const __m256i saturation = _mm256_set1_epi32(saturationScale);
  const __m256i value = _mm256_set1_epi32(valueScale);
  int32_t x = 0;
  for (; x + 11 <= width; x += 8, row += 24) {
    StoreEightPixels(row, AdjustEightPixels(LoadEightPixels(row), shift, saturation, value));
  }
  return x;
}

#endif

}  // namespace

void AdjustHsv(ImageBuffer* image, int32_t hueShift, int32_t saturationScale, int32_t valueScale) {
  if (image->kind == kImageEmpty || image->bitsPerPixel != 24) return;
  Scales scales;
  FillScales(&scales, saturationScale, valueScale);
  // The hue only matters modulo a turn; reduced once here, one wrap per pixel suffices.
  const int32_t shift = ((hueShift % kHueTurn) + kHueTurn) % kHueTurn;
#if PELORA_HAS_VECTOR_CODE
  const bool vector = UseAvx2();
  // The same limits as the tables use.
  const int32_t saturationScaleBound = std::clamp(saturationScale, 0, kSaturationScaleLimit);
  const int32_t valueScaleBound = std::clamp(valueScale, 0, kValueScaleLimit);
#endif
  for (int32_t y = 0; y < image->height; ++y) {
    uint8_t* pixel = image->pixels + static_cast<ptrdiff_t>(y) * image->stride;
    int32_t x = 0;
#if PELORA_HAS_VECTOR_CODE
    if (vector) {
      x = AdjustRowAvx2(pixel, image->width, shift, saturationScaleBound, valueScaleBound);
      pixel += 3 * static_cast<ptrdiff_t>(x);
    }
#endif
    for (; x < image->width; ++x, pixel += 3) AdjustPixel(pixel, shift, scales);
  }
}
