#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vqi/huffman.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

// The block, empty when coding fails; `result` gets what HuffmanEncode gave. Exactly the
// block's room gives the same block; one byte less, or less than a header, writes nothing.
Bytes Encode(const Bytes& input, int64_t* result = nullptr) {
  Bytes block(input.size() + kHuffmanHeaderSize + kMaxHuffmanTableLength);
  const int64_t size = HuffmanEncode(block.data(), block.size(), input.data(), input.size());
  if (result) *result = size;
  block.resize(size > 0 ? static_cast<size_t>(size) : 0);
  if (size <= 0) return block;
  Bytes exact(block.size());
  EXPECT_EQ(HuffmanEncode(exact.data(), exact.size(), input.data(), input.size()), size);
  EXPECT_EQ(exact, block);
  for (size_t room : {block.size() - 1, size_t{3}}) {
    Bytes small(room, 0xEE);
    EXPECT_EQ(HuffmanEncode(small.data(), room, input.data(), input.size()), kHuffmanOutputFull);
    EXPECT_EQ(small, Bytes(room, 0xEE));
  }
  return block;
}

// Decoded in full, which must give `input` back.
void ExpectRoundTrip(const Bytes& input) {
  const Bytes block = Encode(input);
  Bytes output(input.size(), 0xEE);
  EXPECT_EQ(HuffmanDecode(output.data(), block.data(), block.size(), 0), int64_t(input.size()));
  EXPECT_EQ(output, input);
}

TEST(Huffman, WorkedBlocksAndCodesUpTo31Bits) {
  const Bytes abracadabra = {0,    0,    0,    0,    32,   0,    0,    0,    11,   0,
                             0,    0,    20,   0,    29,   0,    9,    0,    1,    0,  // header
                             0x61, 0x61, 0x72, 0x72, 0x62, 0x62, 0x63, 0x64, 0x64,     // depths
                             0x96, 0xF3, 0x16};
  EXPECT_EQ(Encode(Text("abracadabra")), abracadabra);
  // a: 16, w x y z: 1 each; depth 2 holds only inner nodes and adds just a terminator.
  const Bytes skewed = Encode(Text(std::string(16, 'a') + "xyzw"));
  EXPECT_EQ(Bytes(skewed.begin() + 20, skewed.begin() + 28), Text("aaawxyzz"));
  // Every value equally often: eight-bit codes, 257 table bytes with the terminator.
  Bytes all(512);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i * 7);
  EXPECT_EQ(Encode(all).size(), 20 + 257 + all.size());
  ExpectRoundTrip(all);
  // Fibonacci counts make a chain-shaped tree with codes of every length. 20 values: codes
  // beyond the decoder's look-up width; 30: up to 29 bits, more than the coder packs in pairs;
  // 34: more than 31 bits.
  Bytes chain;
  int64_t result = 0;
  for (uint64_t value = 0, a = 1, b = 1; value < 34; ++value, b += a, a = b - a) {
    if (value == 20 || value == 30) ExpectRoundTrip(chain);
    chain.insert(chain.end(), a, static_cast<uint8_t>(value));
  }
  EXPECT_TRUE(Encode(chain, &result).empty() && result == kHuffmanCodeTooLong);
  for (const Bytes& one : {Bytes(10, 0), Bytes{}}) {
    EXPECT_TRUE(Encode(one, &result).empty() && result == kHuffmanTooFewValues);
  }
}

TEST(Huffman, DecodingRefusesDamagedTables) {
  const Bytes good = Encode(Text("abracadabra"));
  Bytes output(64, 0);
  auto with = [&good](size_t offset, uint8_t value) {
    Bytes block = good;
    block[offset] = value;
    return block;
  };
  // 255 leaves of 256 slots at depth 8, two at depth 9: 513 nodes, one more than a tree may
  // hold (every value at depth 8, as in the flat block, makes 511).
  Bytes wide(20 + 259, 0);
  wide[14] = static_cast<uint8_t>(wide.size()), wide[15] = 1, wide[18] = 8;
  for (int i = 0; i < 255; ++i) wide[20 + i] = static_cast<uint8_t>(i);
  wide[20 + 255] = 254, wide[20 + 256] = 255, wide[20 + 257] = 0;
  // Codes deeper than 31 bits, past 256 slots; a table beyond the block; too many nodes.
  const Bytes damaged[] = {with(18, 40), with(14, 200), wide};
  for (const Bytes& block : damaged) {
    EXPECT_LT(HuffmanDecode(output.data(), block.data(), block.size(), 64), 0) << &block - damaged;
  }
}

}  // namespace
