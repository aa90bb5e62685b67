#pragma once
// Decoding a Huffman block piece by piece, so that a plane can be decoded in bands that stay
// in the cache instead of whole.

#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads the stream least significant bit first; past the block's end it gives zeros.
class BitReader {
 public:
  BitReader() = default;
  BitReader(const uint8_t* stream, size_t length) : next_(stream), end_(stream + length) {}

  // Makes at least 56 bits available. Bits above the count may hold the next byte's low
  // bits; OR-ing the same byte in again later leaves them as they are.
  void Refill() {
    if (end_ - next_ >= 8) {
      uint64_t word;
      std::memcpy(&word, next_, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
      word = __builtin_bswap64(word);
#endif
      bits_ |= word << count_;
      const int taken = (63 - count_) >> 3;
      next_ += taken;
      count_ += taken * 8;
      return;
    }
    while (count_ <= 56) {
      const uint64_t byte = next_ < end_ ? *next_++ : 0;
      bits_ |= byte << count_;
      count_ += 8;
    }
  }

  uint32_t Peek() const { return static_cast<uint32_t>(bits_); }
  void Skip(int count) {
    bits_ >>= count;
    count_ -= count;
  }

 private:
  const uint8_t* next_ = nullptr;
  const uint8_t* end_ = nullptr;
  uint64_t bits_ = 0;
  int count_ = 0;
};

class HuffmanReader {
 public:
  // False when the block is damaged (see HuffmanDecode).
  bool Open(const uint8_t* block, size_t blockLength);

  uint32_t symbolCount() const { return symbolCount_; }
  uint64_t remaining() const { return remaining_; }

  // Decodes the next `count` symbols, at most remaining().
  void Read(uint8_t* output, size_t count);

  static constexpr int kLookupBits = 12;
  static constexpr int kMaxNodes = 512;

 private:
  uint8_t ReadLong(uint64_t entry, BitReader& reader) const;

  // One look-up decodes the next kLookupBits of the stream: up to four whole codes, or the
  // prefix of a code too long for the table, which then finishes in the trie of all codes.
  uint64_t lookup_[1 << kLookupBits];
  int16_t children_[kMaxNodes][2];
  int16_t leafValue_[kMaxNodes];  // -1 for internal nodes
  BitReader reader_;
  uint32_t symbolCount_ = 0;
  uint64_t remaining_ = 0;
};
