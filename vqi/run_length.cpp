#include "vqi/run_length.h"

#include <algorithm>
#include <cstring>

#include "core/vector_code.h"

#if PELORA_HAS_VECTOR_CODE
#include <emmintrin.h>
#endif

namespace {

void Put16(uint8_t* p, size_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Eight bytes as one word, the first in the low byte.
uint64_t LoadWord(const uint8_t* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  word = __builtin_bswap64(word);
#endif
  return word;
}

// The index of the lowest zero byte of a word that has one.
int LowestZeroByte(uint64_t word) {
  const uint64_t ones = 0x0101010101010101u;
  // Only bytes above a zero byte can be flagged wrongly, so the lowest flag is right.
  return __builtin_ctzll((word - ones) & ~word & (ones << 7)) / 8;
}

// How many of the first `limit` bytes equal `value`.
size_t CountEqual(const uint8_t* bytes, size_t limit, uint8_t value) {
  const uint64_t pattern = 0x0101010101010101u * value;
  size_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    const uint64_t differences = LoadWord(bytes + n) ^ pattern;
    if (differences != 0) return n + __builtin_ctzll(differences) / 8;
  }
  while (n < limit && bytes[n] == value) ++n;
  return n;
}

// The first position from `k` on whose byte equals the next one, or `length` if none.
size_t NextEqualPair(const uint8_t* input, size_t k, size_t length) {
  for (; k + 9 <= length; k += 8) {
    const uint64_t differences = LoadWord(input + k) ^ LoadWord(input + k + 1);
    if (((differences - 0x0101010101010101u) & ~differences & 0x8080808080808080u) != 0) {
      return k + LowestZeroByte(differences);
    }
  }
  for (; k + 1 < length; ++k) {
    if (input[k] == input[k + 1]) return k;
  }
  return length;
}

#if PELORA_HAS_VECTOR_CODE
// Skips 16 positions at a time while none of them starts kRunMinimum + 1 equal bytes; gives
// the first position not skipped, which is where such bytes start or where none started
// before. `k` must begin a group of equal bytes. Bit j of each mask says whether byte j
// equals the next.
static_assert(kRunMinimum == 6, "the masks look for 6 pairs of equal bytes in a row");

PELORA_SSE2 inline uint32_t EqualPairs(const uint8_t* bytes) {
  const __m128i these = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 1));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(these, next)));
}

PELORA_SSE2 size_t SkipToRunSse2(const uint8_t* input, size_t k, size_t length) {
  if (k + 33 > length) return k;
  uint32_t low = EqualPairs(input + k);
  for (; k + 33 <= length; k += 16) {
    const uint32_t high = EqualPairs(input + k + 16);
    const uint32_t both = low | high << 16;
    // Bits j … j + 5 set: bytes j … j + 6 equal.
    uint32_t starts = both & both >> 1;
    starts &= starts >> 2;
    starts &= both >> 4 & both >> 5;
    if ((starts & 0xFFFF) != 0) return k + static_cast<size_t>(__builtin_ctz(starts & 0xFFFF));
    low = high;
  }
  return k;
}
#endif

// The start of the first group of more than kRunMinimum equal bytes from `k` on, and its
// length; `length` when there is none. `k` must begin a group of equal bytes.
size_t NextRun(const uint8_t* input, size_t k, size_t length, size_t* group) {
#if PELORA_HAS_VECTOR_CODE
  if (UseSse2()) k = SkipToRunSse2(input, k, length);
#endif
  for (;;) {
    const size_t pair = NextEqualPair(input, k, length);
    if (pair == length) return length;
    *group = 2 + CountEqual(input + pair + 2, length - pair - 2, input[pair]);
    if (*group > static_cast<size_t>(kRunMinimum)) return pair;
    k = pair + *group;
  }
}

// The input is taken a chunk at a time: a byte and the equal bytes after it (at most
// kRunMaximum). A chunk of more than kRunMinimum bytes ends the literal with its first byte
// and becomes a run packet; shorter chunks stay in the literal. A literal is closed when a
// chunk begins and it holds 32 763 bytes or more. Every write is checked against the room in
// the output.
struct RleWriter {
  uint8_t* out;
  const uint8_t* input;
  size_t capacity;
  size_t i = 2;  // write position; the first literal's header word is reserved at 0
  size_t a = 0;  // header position of the open literal

  static constexpr size_t kClosingSpan = 32765;  // header word and 32 763 bytes

  bool Fits(size_t count) const { return count <= capacity && i <= capacity - count; }

  bool Append(uint8_t value, size_t count) {
    if (!Fits(count)) return false;
    std::memset(out + i, value, count);
    i += count;
    return true;
  }

  // Closes the literal at the write position. The closing rule lets a chunk's bytes take a
  // literal to one byte more than a packet can say; such a literal is split in two, the few
  // bytes after the limit shifted to make room for the second header.
  bool CloseLiteral() {
    size_t length = i - a - 2;
    if (length > static_cast<size_t>(kLiteralMaximum)) {
      if (!Fits(2)) return false;
      const size_t split = a + 2 + kLiteralMaximum;
      std::memmove(out + split + 2, out + split, i - split);
      Put16(out + a, kLiteralMaximum);
      a = split;
      i += 2;
      length = i - a - 2;
    }
    Put16(out + a, length);
    return true;
  }

  void OpenLiteral() {
    a = i;
    i = a + 2;
  }

  // The closing rule, at the start of a chunk.
  bool CloseFullLiteral() {
    if (i - a < kClosingSpan) return true;
    if (!CloseLiteral()) return false;
    OpenLiteral();
    return true;
  }

  // The chunks of input bytes `from` … `to` − 1, none of them a run: copied as they are, and
  // the literal closed at the first chunk that begins once it is full.
  bool AppendLiteralBytes(size_t from, size_t to) {
    while (from < to) {
      if (!CloseFullLiteral()) return false;
      size_t n = std::min(to - from, kClosingSpan - (i - a));
      while (from + n < to && input[from + n] == input[from + n - 1]) ++n;  // the chunk's end
      if (!Fits(n)) return false;
      std::memcpy(out + i, input + from, n);
      i += n;
      from += n;
    }
    return true;
  }

  // A group of equal bytes long enough for a run, in chunks of at most kRunMaximum + 1.
  bool AppendRuns(uint8_t value, size_t group) {
    while (group > 0) {
      const size_t chunk = std::min<size_t>(group, kRunMaximum + 1);
      if (!CloseFullLiteral() || !Append(value, 1)) return false;
      if (chunk > static_cast<size_t>(kRunMinimum)) {
        // The literal ends with the chunk's first byte; a new one opens after the run.
        if (!CloseLiteral() || !Fits(3)) return false;
        Put16(out + i, 32768 + (chunk - 1));
        out[i + 2] = value;
        i += 3;
        OpenLiteral();
      } else if (!Append(value, chunk - 1)) {
        return false;
      }
      group -= chunk;
    }
    return true;
  }

  // Writes the end word at `at`; gives the stream's length, or 0 when the word does not fit.
  size_t End(size_t at) {
    if (at + 2 > capacity) return 0;
    Put16(out + at, 0);
    return at + 2;
  }
};

}  // namespace

size_t RleEncode(uint8_t* output, size_t capacity, const uint8_t* input, size_t length) {
  RleWriter w{output, input, capacity};
  size_t k = 0;
  while (k < length) {
    size_t group = 0;
    const size_t run = NextRun(input, k, length, &group);
    if (!w.AppendLiteralBytes(k, run)) return 0;
    if (run == length) break;
    if (!w.AppendRuns(input[run], group)) return 0;
    k = run + group;
  }
  // After a run the end word takes the place of the next literal's header.
  if (w.i == w.a + 2) return w.End(w.a);
  return w.CloseLiteral() ? w.End(w.i) : 0;
}

bool MemoryPacketSource::Take(uint8_t* out, size_t count) {
  if (count > length_ - position_) return false;
  std::memcpy(out, bytes_ + position_, count);
  position_ += count;
  return true;
}

bool RleExpander::Read(uint8_t* out, size_t count) {
  while (count > 0) {
    if (runLeft_ > 0) {
      const size_t n = runLeft_ < count ? runLeft_ : count;
      std::memset(out, runValue_, n);
      out += n;
      count -= n;
      runLeft_ -= n;
    } else if (literalLeft_ > 0) {
      const size_t n = literalLeft_ < count ? literalLeft_ : count;
      if (!source_->Take(out, n)) return false;
      out += n;
      count -= n;
      literalLeft_ -= n;
    } else if (ended_) {
      std::memset(out, 0, count);  // an early end word: the rest is zero
      return true;
    } else {
      uint8_t header[2];
      if (!source_->Take(header, 2)) return false;
      const size_t word = header[0] | size_t{header[1]} << 8;
      if (word == 0) {
        ended_ = true;
      } else if (word >= 32768) {
        runLeft_ = word - 32768;
        if (runLeft_ > undeclared_ || !source_->Take(&runValue_, 1)) return false;
        undeclared_ -= runLeft_;
      } else {
        if (word > undeclared_) return false;
        literalLeft_ = word;
        undeclared_ -= word;
      }
    }
  }
  return true;
}

bool RleDecode(uint8_t* output, const uint8_t* input, size_t inputLength, size_t size) {
  MemoryPacketSource source(input, inputLength);
  RleExpander expander(&source, size);
  return expander.Read(output, size);
}
