#pragma once
// SSE2 helpers for 24-bit pixels: four pixels (12 bytes) as four 32-bit lanes 0x00RRGGBB and
// back, reading and writing exactly those 12 bytes.

#include "core/vector_code.h"

#if PELORA_HAS_VECTOR_CODE
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

PELORA_SSE2 inline __m128i LoadFourPixels(const uint8_t* p) {
  int32_t tail;
  std::memcpy(&tail, p + 8, 4);
  const __m128i bytes = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                           _mm_cvtsi32_si128(tail));
  const __m128i lowHalf = _mm_set_epi32(0, 0, -1, -1);
  // Two pixels to each 64-bit half, then the second of each to its own lane.
  const __m128i halves = _mm_or_si128(_mm_and_si128(bytes, lowHalf),
                                      _mm_andnot_si128(lowHalf, _mm_slli_si128(bytes, 2)));
  const __m128i first = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
  const __m128i second = _mm_set_epi32(0x00FFFFFF, 0, 0x00FFFFFF, 0);
  return _mm_or_si128(_mm_and_si128(halves, first),
                      _mm_and_si128(_mm_slli_epi64(halves, 8), second));
}

// Bits 24–31 of each lane are ignored.
PELORA_SSE2 inline void StoreFourPixels(uint8_t* p, __m128i pixels) {
  const __m128i first = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
  const __m128i second = _mm_set_epi32(0x0000FFFF, static_cast<int>(0xFF000000), 0x0000FFFF,
                                       static_cast<int>(0xFF000000));
  const __m128i lowHalf = _mm_set_epi32(0, 0, -1, -1);
  // Each half holds two pixels in its low 6 bytes; the high half then moves down 2 bytes.
  const __m128i halves =
      _mm_or_si128(_mm_and_si128(pixels, first), _mm_and_si128(_mm_srli_epi64(pixels, 8), second));
  const __m128i packed = _mm_or_si128(_mm_and_si128(halves, lowHalf),
                                      _mm_srli_si128(_mm_andnot_si128(lowHalf, halves), 2));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
  const int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
  std::memcpy(p + 8, &tail, 4);
}

#endif
