#include "core/rotation.h"

#include "core/vector_code.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if PELORA_HAS_VECTOR_CODE
#include <tmmintrin.h>
#endif

namespace {

// Blocks of pixels whose source and destination rows stay in the cache while the block is
// copied, so that neither image is walked across its rows.
constexpr int32_t kTile = 64;
// The vector version's tiles: larger, which measured faster.
constexpr int32_t kVectorTile = 1024;

struct Turn {
  const ImageBuffer& source;
  ImageBuffer& turned;
  bool right;

  // Where source pixel (x, y) goes: turned row W-1-x, column y (right) or row x, column
  // H-1-y (left).
  uint8_t* Destination(int32_t x, int32_t y) const {
    const int32_t row = right ? source.width - 1 - x : x;
    const int32_t column = right ? y : source.height - 1 - y;
    return turned.pixels + ptrdiff_t{row} * turned.stride + ptrdiff_t{column} * 3;
  }

  const uint8_t* Source(int32_t x, int32_t y) const {
    return source.pixels + ptrdiff_t{y} * source.stride + ptrdiff_t{x} * 3;
  }

  // Pixel by pixel, tile by tile, over columns x0 … x1 − 1 and rows y0 … y1 − 1.
  void Plain(int32_t x0, int32_t x1, int32_t y0, int32_t y1) const {
    const ptrdiff_t columnStep = right ? 3 : -3;
    for (int32_t tx = x0; tx < x1; tx += kTile) {
      const int32_t tx1 = std::min(x1, tx + kTile);
      for (int32_t ty = y0; ty < y1; ty += kTile) {
        const int32_t ty1 = std::min(y1, ty + kTile);
        for (int32_t x = tx; x < tx1; ++x) {
          const uint8_t* from = Source(x, ty);
          uint8_t* to = Destination(x, ty);
          for (int32_t y = ty; y < ty1; ++y, from += source.stride, to += columnStep) {
            std::memcpy(to, from, 3);
          }
        }
      }
    }
  }

#if PELORA_HAS_VECTOR_CODE
  // Blocks of 8 columns × 4 rows over columns 0 … width − 1 (a multiple of 8) and rows
  // 0 … height − 1 (a multiple of 4): four source rows in, eight turned rows of 12 bytes out,
  // each gathered with byte shuffles. Each turned row is written with rising addresses, so
  // the 4 bytes that a 16-byte store puts beyond its block are put right by the next block;
  // the last block of a row stores exactly.
  PELORA_SSSE3 void Blocks(int32_t width, int32_t height) const {
    __m128i gather[4][4];  // turned row i takes bytes 3i … 3i + 2 of each source row
    for (int i = 0; i < 4; ++i) {
      for (int r = 0; r < 4; ++r) {
        alignas(16) int8_t indices[16];
        for (int k = 0; k < 16; ++k) indices[k] = -128;  // a zero byte
        const int place = right ? r : 3 - r;
        for (int b = 0; b < 3; ++b) indices[3 * place + b] = static_cast<int8_t>(3 * i + b);
        gather[i][r] = _mm_load_si128(reinterpret_cast<const __m128i*>(indices));
      }
    }
    const int32_t tiles = (height + kVectorTile - 1) / kVectorTile;
    const ptrdiff_t stride = source.stride;
    for (int32_t tx = 0; tx < width; tx += kVectorTile) {
      const int32_t tx1 = std::min(width, tx + kVectorTile);
      for (int32_t t = 0; t < tiles; ++t) {
        // The left turn fills its rows from the top of the source down.
        const int32_t ty = (right ? t : tiles - 1 - t) * kVectorTile;
        const int32_t ty1 = std::min(height, ty + kVectorTile);
        const int32_t blocks = (ty1 - ty) / 4;
        const bool endsRows = right ? ty1 == height : ty == 0;
        for (int32_t x = tx; x < tx1; x += 8) {
          // Block b covers source rows y … y + 3 of columns x … x + 7, and turned columns in
          // rising order.
          const int32_t firstY = right ? ty : ty1 - 4;
          const uint8_t* from = Source(x, firstY);
          const ptrdiff_t fromStep = right ? 4 * stride : -4 * stride;
          uint8_t* to[8];
          for (int i = 0; i < 8; ++i) to[i] = Destination(x + i, right ? firstY : firstY + 3);
          const bool exactLoads = x + 10 > source.width;
          for (int32_t b = 0; b < blocks; ++b, from += fromStep) {
            const bool exactStores = endsRows && b == blocks - 1;
            for (int half = 0; half < 2; ++half) {
              const uint8_t* p = from + 12 * half;
              const __m128i r0 = LoadRow(p, exactLoads);
              const __m128i r1 = LoadRow(p + stride, exactLoads);
              const __m128i r2 = LoadRow(p + 2 * stride, exactLoads);
              const __m128i r3 = LoadRow(p + 3 * stride, exactLoads);
              for (int i = 0; i < 4; ++i) {
                const __m128i pixels =
                    _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(r0, gather[i][0]),
                                              _mm_shuffle_epi8(r1, gather[i][1])),
                                 _mm_or_si128(_mm_shuffle_epi8(r2, gather[i][2]),
                                              _mm_shuffle_epi8(r3, gather[i][3])));
                uint8_t*& out = to[4 * half + i];
                if (exactStores) {
                  StoreTwelve(out, pixels);
                } else {
                  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
                }
                out += 12;
              }
            }
          }
        }
      }
    }
  }

  // Four pixels of a source row; 16 bytes unless the row ends within them.
  PELORA_SSSE3 static __m128i LoadRow(const uint8_t* p, bool exact) {
    if (!exact) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int32_t tail;
    std::memcpy(&tail, p + 8, 4);
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                              _mm_cvtsi32_si128(tail));
  }

  PELORA_SSSE3 static void StoreTwelve(uint8_t* p, __m128i bytes) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), bytes);
    const int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8));
    std::memcpy(p + 8, &tail, 4);
  }
#endif
};

}  // namespace

bool RotateImage(ImageBuffer* image, int direction) {
  if (image->kind == kImageEmpty || image->bitsPerPixel != 24) return false;
  if (direction != kTurnLeft && direction != kTurnRight) return false;
  const int32_t width = image->width;
  const int32_t height = image->height;
  ImageBuffer turned;
  if (!CreateImageBuffer(&turned, height, 24, width)) return false;
  turned.dpiX = image->dpiY;
  turned.dpiY = image->dpiX;

  const Turn turn{*image, turned, direction == kTurnRight};
  int32_t blockWidth = 0;
  int32_t blockHeight = 0;
#if PELORA_HAS_VECTOR_CODE
  if (UseSsse3()) {
    blockWidth = width & ~7;
    blockHeight = height & ~3;
    turn.Blocks(blockWidth, blockHeight);
  }
#endif
  // What the blocks leave: the last columns, then the last rows.
  turn.Plain(blockWidth, width, 0, height);
  turn.Plain(0, blockWidth, blockHeight, height);

  ReplaceImage(image, &turned);
  return true;
}
