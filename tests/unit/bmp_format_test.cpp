#include <gtest/gtest.h>

#include "core/bmp_format.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

BmpSpec Indexed8(int32_t width, int32_t height) {
  BmpSpec spec;
  spec.width = width;
  spec.height = height;
  spec.bitCount = 8;
  spec.palette = {0x000000, 0xFF0000, 0x00FF00};
  spec.colorsUsed = 3;
  spec.pixelData = PackRows(width, height, 8, [](int32_t x, int32_t y) { return (x + y) % 3; });
  return spec;
}

bool Parses(const std::vector<uint8_t>& file, BmpLayout* layout = nullptr) {
  BmpLayout local;
  return ParseBmpFile(file.data(), file.size(), layout ? layout : &local);
}

}  // namespace

TEST(BmpParse, NormalisesAnIndexedHeader) {
  const std::vector<uint8_t> file = BuildBmp(Indexed8(5, 3));
  BmpLayout layout;
  ASSERT_TRUE(Parses(file, &layout));
  const DibHeader& h = layout.info.header;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 256u);  // the whole table, entries past the file's own black
  EXPECT_EQ(h.biSizeImage, 24u);
  EXPECT_EQ(layout.info.colors[1], 0xFF0000u);
  EXPECT_EQ(layout.info.colors[2], 0x00FF00u);
  EXPECT_EQ(layout.info.colors[3], 0u);
  EXPECT_EQ(layout.pixelOffset, BmpPixelOffset(Indexed8(5, 3)));
}

TEST(BmpParse, CoreHeaderTriplesBecomeQuads) {
  BmpSpec spec;
  spec.headerSize = 12;
  spec.width = 3;
  spec.height = 2;
  spec.bitCount = 1;
  spec.palette = {0x102030, 0xA0B0C0};
  spec.pixelData = PackRows(3, 2, 1, [](int32_t x, int32_t) { return x & 1; });
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(spec), &layout));
  EXPECT_EQ(layout.info.header.biWidth, 3);
  EXPECT_EQ(layout.info.header.biClrUsed, 2u);
  EXPECT_EQ(layout.info.colors[0], 0x102030u);
  EXPECT_EQ(layout.info.colors[1], 0xA0B0C0u);
}

TEST(BmpParse, BitFieldMasksAfterTheHeader) {
  BmpSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.bitCount = 16;
  spec.compression = 3;
  spec.masks = {0xF800, 0x07E0, 0x001F};
  spec.pixelData = PackRows(2, 2, 16, [](int32_t, int32_t) { return 0xF800u; });
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(spec), &layout));
  EXPECT_EQ(layout.info.colors[0], 0xF800u);
  EXPECT_EQ(layout.info.colors[2], 0x001Fu);

  std::vector<uint8_t> noMasks = BuildBmp(spec);
  noMasks.resize(14 + 40 + 8);
  EXPECT_FALSE(Parses(noMasks));
}

TEST(BmpParse, TopDownKeepsItsNegativeHeight) {
  BmpSpec spec = Indexed8(4, -2);
  spec.pixelData = PackRowsTopDown(4, 2, 8, [](int32_t, int32_t) { return 1u; });
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(spec), &layout));
  EXPECT_EQ(layout.info.header.biHeight, -2);
}

TEST(BmpParse, MeasuresRunLengthDataToItsEnd) {
  BmpSpec spec = Indexed8(5, 2);
  spec.compression = 1;
  spec.pixelData = {5, 1, 0, 0, 0, 3, 1, 2, 1, 0, 0, 1, 0xEE, 0xEE};  // junk after the end
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(spec), &layout));
  EXPECT_EQ(layout.info.header.biSizeImage, 12u);
}

TEST(BmpParse, RefusesWhatDoesNotFitTheFile) {
  const std::vector<uint8_t> good = BuildBmp(Indexed8(5, 3));
  const uint32_t offset = BmpPixelOffset(Indexed8(5, 3));

  std::vector<uint8_t> shortRows = good;
  shortRows.pop_back();
  EXPECT_FALSE(Parses(shortRows));

  std::vector<uint8_t> offsetPastEnd = good;
  Put32(offsetPastEnd, 10, static_cast<uint32_t>(good.size()) + 1);
  EXPECT_FALSE(Parses(offsetPastEnd));

  std::vector<uint8_t> hugeOffset = good;
  Put32(hugeOffset, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(Parses(hugeOffset));

  std::vector<uint8_t> tallerThanData = good;
  Put32(tallerThanData, 22, 4);
  EXPECT_FALSE(Parses(tallerThanData));

  std::vector<uint8_t> tooManyColours = good;
  Put32(tooManyColours, 46, 257);
  EXPECT_FALSE(Parses(tooManyColours));

  std::vector<uint8_t> tableBeyondFile(good.begin(), good.begin() + 14 + 40 + 4);
  Put32(tableBeyondFile, 46, 0);  // a full table of 256 entries
  EXPECT_FALSE(Parses(tableBeyondFile));

  std::vector<uint8_t> headerBeyondFile(good.begin(), good.begin() + 30);
  EXPECT_FALSE(Parses(headerBeyondFile));

  std::vector<uint8_t> offsetInsideHeaders = good;  // harmless: still inside the file
  Put32(offsetInsideHeaders, 10, offset - 4);
  EXPECT_TRUE(Parses(offsetInsideHeaders));
}

TEST(BmpParse, RefusesHeadersItDoesNotRead) {
  const std::vector<uint8_t> good = BuildBmp(Indexed8(5, 3));
  const struct {
    size_t offset;
    int width;
    uint32_t value;
  } lies[] = {
      {0, 2, 0x4D42 ^ 0x0100}, {14, 4, 64}, {14, 4, 0},          {14, 4, 39}, {18, 4, 0},
      {18, 4, 0x80000000},     {22, 4, 0},  {22, 4, 0x80000000}, {26, 2, 2},  {28, 2, 7},
      {28, 2, 24 + 1},         {30, 4, 2},  {30, 4, 4},          {30, 4, 5},  {18, 4, 1u << 20},
  };
  for (const auto& lie : lies) {
    std::vector<uint8_t> file = good;
    if (lie.width == 2) {
      Put16(file, lie.offset, lie.value);
    } else {
      Put32(file, lie.offset, lie.value);
    }
    EXPECT_FALSE(Parses(file)) << "offset " << lie.offset << " value " << lie.value;
  }
  EXPECT_FALSE(Parses({'B', 'M'}));
  EXPECT_FALSE(Parses({}));
}

TEST(BmpParse, RefusesRunLengthDataThatLeavesTheFile) {
  BmpSpec spec = Indexed8(5, 2);
  spec.compression = 1;
  const std::vector<std::vector<uint8_t>> streams = {
      {5, 1, 0, 0},     // no end-of-bitmap mark
      {0, 5, 1, 2, 3},  // literal pixels cut off
      {0, 2, 1},        // a move cut off
      {5},              // half a run
      {},               // nothing at all
  };
  for (const auto& stream : streams) {
    spec.pixelData = stream;
    EXPECT_FALSE(Parses(BuildBmp(spec))) << stream.size();
  }
  spec.pixelData = {0, 2, 1, 1, 0, 1};  // a move followed by the end is fine
  EXPECT_TRUE(Parses(BuildBmp(spec)));

  BmpSpec rle4 = spec;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.pixelData = {0, 5, 0x12, 0x34, 0x50, 0, 0, 1};  // five nibbles take three bytes and a pad
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(rle4), &layout));
  EXPECT_EQ(layout.info.header.biSizeImage, 8u);
  rle4.pixelData = {0, 5, 0x12, 0x34, 0x50, 0, 1};  // the pad missing: the mark is misread
  EXPECT_FALSE(Parses(BuildBmp(rle4)));

  BmpSpec topDown = spec;
  topDown.height = -2;
  topDown.pixelData = {5, 1, 0, 1};
  EXPECT_FALSE(Parses(BuildBmp(topDown)));  // run-length data is always bottom-up
}
