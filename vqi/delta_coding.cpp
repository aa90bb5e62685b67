#include "vqi/delta_coding.h"

#include "core/vector_code.h"

#if PELORA_HAS_VECTOR_CODE
#include <emmintrin.h>
#endif

namespace {

uint8_t DeltaDecodePlain(uint8_t* bytes, size_t length, uint8_t sum) {
  for (size_t k = 0; k < length; ++k) {
    sum = static_cast<uint8_t>(sum + bytes[k]);
    bytes[k] = sum;
  }
  return sum;
}

#if PELORA_HAS_VECTOR_CODE
// Sixteen differences at a time, each byte less the one before it (0 before the first);
// gives the count of bytes done and the last of them.
PELORA_SSE2 size_t DeltaEncodeSse2(uint8_t* bytes, size_t length, uint8_t* last) {
  __m128i previous = _mm_setzero_si128();
  size_t k = 0;
  for (; k + 16 <= length; k += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
    const __m128i before = _mm_or_si128(_mm_slli_si128(x, 1), _mm_srli_si128(previous, 15));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + k), _mm_sub_epi8(x, before));
    previous = x;
  }
  *last = static_cast<uint8_t>(_mm_cvtsi128_si32(_mm_srli_si128(previous, 15)));
  return k;
}

// Sixteen running sums at a time: four shifted additions, then the sum carried in. The
// carry grows by each block's own total, so that blocks wait on each other for one addition.
PELORA_SSE2 uint8_t DeltaDecodeSse2(uint8_t* bytes, size_t length, uint8_t sum) {
  __m128i carry = _mm_set1_epi8(static_cast<char>(sum));
  size_t k = 0;
  for (; k + 16 <= length; k += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
    x = _mm_add_epi8(x, _mm_slli_si128(x, 1));
    x = _mm_add_epi8(x, _mm_slli_si128(x, 2));
    x = _mm_add_epi8(x, _mm_slli_si128(x, 4));
    x = _mm_add_epi8(x, _mm_slli_si128(x, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + k), _mm_add_epi8(x, carry));
    // The block's total, its last running sum, into every lane.
    const __m128i high = _mm_shufflehi_epi16(_mm_unpackhi_epi8(x, x), 0xFF);
    carry = _mm_add_epi8(carry, _mm_shuffle_epi32(high, 0xFF));
  }
  return DeltaDecodePlain(bytes + k, length - k, static_cast<uint8_t>(_mm_cvtsi128_si32(carry)));
}

#endif

}  // namespace

void DeltaEncode(uint8_t* bytes, size_t length) {
  uint8_t before = 0;  // the first byte stays as it is
  size_t k = 0;
#if PELORA_HAS_VECTOR_CODE
  if (UseSse2()) k = DeltaEncodeSse2(bytes, length, &before);
#endif
  for (; k < length; ++k) {
    const uint8_t byte = bytes[k];
    bytes[k] = static_cast<uint8_t>(byte - before);
    before = byte;
  }
}

uint8_t DeltaDecode(uint8_t* bytes, size_t length, uint8_t sum) {
#if PELORA_HAS_VECTOR_CODE
  if (UseSse2()) return DeltaDecodeSse2(bytes, length, sum);
#endif
  return DeltaDecodePlain(bytes, length, sum);
}
