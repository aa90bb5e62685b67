#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "vqi/bit_writer.h"
#include "vqi/huffman.h"

namespace {

// Room for any block.
size_t Room(size_t length) { return length + kHuffmanHeaderSize + kMaxHuffmanTableLength; }

std::vector<uint8_t> Encode(const std::vector<uint8_t>& input) {
  std::vector<uint8_t> block(Room(input.size()));
  const int64_t size = HuffmanEncode(block.data(), block.size(), input.data(), input.size());
  EXPECT_GT(size, 0);
  block.resize(size > 0 ? static_cast<size_t>(size) : 0);
  return block;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> Decode(const std::vector<uint8_t>& block, int64_t maximum = 0) {
  std::vector<uint8_t> output(block[8] | block[9] << 8 | block[10] << 16, 0xEE);
  EXPECT_GE(HuffmanDecode(output.data(), block.data(), block.size(), maximum), 0);
  return output;
}

uint32_t Field(const std::vector<uint8_t>& block, size_t offset, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | block[offset + i];
  return value;
}

TEST(HuffmanEncode, AbracadabraGivesTheWorkedBlock) {
  const std::vector<uint8_t> block = Encode(Bytes("abracadabra"));
  const std::vector<uint8_t> expected = {
      0,    0,    0,    0,    32,   0,    0,    0,    11,   0,
      0,    0,    20,   0,    29,   0,    9,    0,    1,    0,  // header
      0x61, 0x61, 0x72, 0x72, 0x62, 0x62, 0x63, 0x64, 0x64,     // depth table
      0x96, 0xF3, 0x16};                                        // bit stream
  EXPECT_EQ(block, expected);
  EXPECT_EQ(Decode(block), Bytes("abracadabra"));
}

TEST(HuffmanEncode, TwoEqualCountsGiveTheLowerValueCodeZero) {
  const std::vector<uint8_t> block = Encode(Bytes("ab"));
  ASSERT_EQ(block.size(), 24u);
  EXPECT_EQ(Field(block, 18, 2), 1u);
  EXPECT_EQ(std::vector<uint8_t>(block.begin() + 20, block.end()),
            (std::vector<uint8_t>{0x61, 0x62, 0x62, 0x02}));
}

TEST(HuffmanEncode, AllValuesWithEqualCountsGiveEightBitCodes) {
  std::vector<uint8_t> input(512);
  for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 7);
  const std::vector<uint8_t> block = Encode(input);
  EXPECT_EQ(Field(block, 18, 2), 8u);
  EXPECT_EQ(Field(block, 16, 2), 257u);
  EXPECT_EQ(block[20 + 255], block[20 + 256]);  // the terminator repeats the last value
  EXPECT_EQ(block.size(), 20 + 257 + input.size());
  EXPECT_EQ(Decode(block), input);
}

TEST(HuffmanEncode, FewerThanTwoValuesFail) {
  std::vector<uint8_t> output(Room(10));
  const uint8_t same[10] = {};
  EXPECT_EQ(HuffmanEncode(output.data(), output.size(), same, sizeof same), kHuffmanTooFewValues);
  EXPECT_EQ(HuffmanEncode(output.data(), output.size(), same, 0), kHuffmanTooFewValues);
}

TEST(HuffmanEncode, WritesNothingWhenTheBlockWouldNotFit) {
  for (const std::vector<uint8_t>& input : {Bytes("ab"), Bytes("abracadabra")}) {
    const std::vector<uint8_t> block = Encode(input);
    std::vector<uint8_t> exact(block.size());
    EXPECT_EQ(HuffmanEncode(exact.data(), exact.size(), input.data(), input.size()),
              static_cast<int64_t>(block.size()));
    EXPECT_EQ(exact, block);
    // One byte short, or shorter than the header: nothing is written.
    for (size_t room : {block.size() - 1, size_t{3}}) {
      std::vector<uint8_t> small(room, 0xEE);
      EXPECT_EQ(HuffmanEncode(small.data(), room, input.data(), input.size()), kHuffmanOutputFull);
      EXPECT_EQ(small, std::vector<uint8_t>(room, 0xEE));
    }
  }
}

TEST(HuffmanEncode, DepthWithoutLeavesAddsOnlyATerminator) {
  std::vector<uint8_t> input;
  input.insert(input.end(), 16, 'a');
  input.insert(input.end(), 1, 'x');
  input.insert(input.end(), 1, 'y');
  input.insert(input.end(), 1, 'z');
  input.insert(input.end(), 1, 'w');
  // a: 16; w, x, y, z: 1 each → a at depth 1, the four rare values at depth 3; depth 2 holds
  // only internal nodes.
  const std::vector<uint8_t> block = Encode(input);
  const std::vector<uint8_t> table(block.begin() + 20, block.begin() + Field(block, 14, 2));
  EXPECT_EQ(table, (std::vector<uint8_t>{'a', 'a', 'a', 'w', 'x', 'y', 'z', 'z'}));
  EXPECT_EQ(Decode(block), input);
}

TEST(HuffmanEncode, SkewedCountsRoundTripWithLongCodes) {
  // Fibonacci counts make a chain-shaped tree: codes of many lengths, some beyond the
  // decoder's look-up width; with 30 values up to 29 bits, more than the coder packs in pairs.
  for (int values : {20, 30}) {
    std::vector<uint8_t> input;
    uint32_t a = 1, b = 1;
    for (int value = 0; value < values; ++value) {
      input.insert(input.end(), a, static_cast<uint8_t>(value));
      const uint32_t next = a + b;
      a = b;
      b = next;
    }
    const std::vector<uint8_t> block = Encode(input);
    EXPECT_EQ(Decode(block), input) << values;
  }
}

TEST(HuffmanEncode, CodesLongerThan31BitsFail) {
  std::vector<uint8_t> input;
  uint64_t a = 1, b = 1;
  for (int value = 0; value < 34; ++value) {
    input.insert(input.end(), a, static_cast<uint8_t>(value));
    const uint64_t next = a + b;
    a = b;
    b = next;
  }
  std::vector<uint8_t> output(Room(input.size()));
  EXPECT_EQ(HuffmanEncode(output.data(), output.size(), input.data(), input.size()),
            kHuffmanCodeTooLong);
}

TEST(HuffmanDecode, MaximumLimitsTheBytesDecoded) {
  const std::vector<uint8_t> block = Encode(Bytes("abracadabra"));
  std::vector<uint8_t> output(11, 0);
  EXPECT_EQ(HuffmanDecode(output.data(), block.data(), block.size(), 4), 11);
  EXPECT_EQ(output, (std::vector<uint8_t>{'a', 'b', 'r', 'a', 0, 0, 0, 0, 0, 0, 0}));
}

TEST(HuffmanDecode, RefusesDamagedTables) {
  const std::vector<uint8_t> good = Encode(Bytes("abracadabra"));
  auto refused = [](std::vector<uint8_t> block) {
    std::vector<uint8_t> output(64);
    return HuffmanDecode(output.data(), block.data(), block.size(), 64) < 0;
  };
  EXPECT_FALSE(refused(good));
  auto damaged = good;
  damaged[18] = 0;  // first leaf depth 0
  EXPECT_TRUE(refused(damaged));
  damaged = good;
  damaged[18] = 40;  // first leaf deeper than 31 bits, after more than 256 slots
  EXPECT_TRUE(refused(damaged));
  damaged = good;
  damaged[14] = 25;  // table ends before the tree is complete
  EXPECT_TRUE(refused(damaged));
  damaged = good;
  damaged[14] = 200;  // table beyond the block
  EXPECT_TRUE(refused(damaged));
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 19)));
  // Eight slots at depth 3 of which only one is a leaf, and so on: more than 512 nodes.
  std::vector<uint8_t> wide(20 + 40, 0);
  wide[14] = static_cast<uint8_t>(wide.size());
  wide[18] = 8;
  for (int i = 0; i < 40; ++i) wide[20 + i] = static_cast<uint8_t>(i % 2 ? 1 : 2);
  EXPECT_TRUE(refused(wide));
}

TEST(HuffmanDecode, BitsBeyondTheBlockReadAsZero) {
  std::vector<uint8_t> block = Encode(Bytes("abracadabra"));
  block.resize(block.size() - 2);  // cut the stream: the missing codes read as "a"
  block[8] = 11;
  std::vector<uint8_t> output(11);
  EXPECT_EQ(HuffmanDecode(output.data(), block.data(), block.size(), 0), 11);
  EXPECT_EQ(output[0], 'a');
  EXPECT_EQ(output[10], 'a');
}

TEST(BitWriter, PacksCodesLeastSignificantBitFirst) {
  // bits: 1, 110, 31 ones, 00, 101 → 0x1 | 0x3<<1 | 0x7FFFFFFF<<4 | 0x5<<37.
  const uint64_t expected = 0x1 | 0x3 << 1 | uint64_t{0x7FFFFFFF} << 4 | uint64_t{0x5} << 37;
  // A stream of 5 bytes is written byte by byte, and nothing beyond it; in a longer one the
  // first codes go out as whole words.
  for (size_t end : {5, 16}) {
    std::vector<uint8_t> out(16, 0xEE);
    BitWriter writer(out.data(), end);
    writer.Append(0x1, 1);
    writer.Append(0x3, 3);
    writer.Append(0x7FFFFFFF, 31);
    writer.Append(0x0, 2);
    writer.Append(0x5, 3);
    EXPECT_EQ(writer.Finish(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], static_cast<uint8_t>(expected >> (8 * i)));
    if (end == 5) {
      EXPECT_EQ(out[5], 0xEE);
    }
  }
}

}  // namespace
