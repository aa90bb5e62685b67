#include <gtest/gtest.h>

#include "core/bmp_format.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

BmpRecipe Indexed8(int32_t width, int32_t height) {
  BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.bitCount = 8;
  recipe.palette = {0x000000, 0xFF0000, 0x00FF00};
  recipe.colorsUsed = 3;
  recipe.pixelData = PackRows(width, height, 8, [](int32_t x, int32_t y) { return (x + y) % 3; });
  return recipe;
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
  BmpRecipe recipe;
  recipe.headerSize = 12;
  recipe.width = 3;
  recipe.height = 2;
  recipe.bitCount = 1;
  recipe.palette = {0x102030, 0xA0B0C0};
  recipe.pixelData = PackRows(3, 2, 1, [](int32_t x, int32_t) { return x & 1; });
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(recipe), &layout));
  EXPECT_EQ(layout.info.header.biWidth, 3);
  EXPECT_EQ(layout.info.header.biClrUsed, 2u);
  EXPECT_EQ(layout.info.colors[0], 0x102030u);
  EXPECT_EQ(layout.info.colors[1], 0xA0B0C0u);
}

TEST(BmpParse, BitFieldMasksAfterTheHeader) {
  BmpRecipe recipe;
  recipe.width = 2;
  recipe.height = 2;
  recipe.bitCount = 16;
  recipe.compression = 3;
  recipe.masks = {0xF800, 0x07E0, 0x001F};
  recipe.pixelData = PackRows(2, 2, 16, [](int32_t, int32_t) { return 0xF800u; });
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(recipe), &layout));
  EXPECT_EQ(layout.info.colors[0], 0xF800u);
  EXPECT_EQ(layout.info.colors[2], 0x001Fu);

  std::vector<uint8_t> noMasks = BuildBmp(recipe);
  noMasks.resize(14 + 40 + 8);
  EXPECT_FALSE(Parses(noMasks));
}

TEST(BmpParse, TopDownKeepsItsNegativeHeight) {
  BmpRecipe recipe = Indexed8(4, -2);
  recipe.pixelData = PackRowsTopDown(4, 2, 8, [](int32_t, int32_t) { return 1u; });
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(recipe), &layout));
  EXPECT_EQ(layout.info.header.biHeight, -2);
}

TEST(BmpParse, MeasuresRunLengthDataToItsEnd) {
  BmpRecipe recipe = Indexed8(5, 2);
  recipe.compression = 1;
  recipe.pixelData = {5, 1, 0, 0, 0, 3, 1, 2, 1, 0, 0, 1, 0xEE, 0xEE};  // junk after the end
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(recipe), &layout));
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
  BmpRecipe recipe = Indexed8(5, 2);
  recipe.compression = 1;
  const std::vector<std::vector<uint8_t>> streams = {
      {5, 1, 0, 0},     // no end-of-bitmap mark
      {0, 5, 1, 2, 3},  // literal pixels cut off
      {0, 2, 1},        // a move cut off
      {5},              // half a run
      {},               // nothing at all
  };
  for (const auto& stream : streams) {
    recipe.pixelData = stream;
    EXPECT_FALSE(Parses(BuildBmp(recipe))) << stream.size();
  }
  recipe.pixelData = {0, 2, 1, 1, 0, 1};  // a move followed by the end is fine
  EXPECT_TRUE(Parses(BuildBmp(recipe)));

  BmpRecipe rle4 = recipe;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.pixelData = {0, 5, 0x12, 0x34, 0x50, 0, 0, 1};  // five nibbles take three bytes and a pad
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(rle4), &layout));
  EXPECT_EQ(layout.info.header.biSizeImage, 8u);
  rle4.pixelData = {0, 5, 0x12, 0x34, 0x50, 0, 1};  // the pad missing: the mark is misread
  EXPECT_FALSE(Parses(BuildBmp(rle4)));

  BmpRecipe topDown = recipe;
  topDown.height = -2;
  topDown.pixelData = {5, 1, 0, 1};
  EXPECT_FALSE(Parses(BuildBmp(topDown)));  // run-length data is always bottom-up
}

namespace {

// A scanner's packed DIB: the file without its 14-byte file header.
std::vector<uint8_t> Packed(const BmpRecipe& recipe) {
  const std::vector<uint8_t> file = BuildBmp(recipe);
  return std::vector<uint8_t>(file.begin() + kBmpFileHeaderSize, file.end());
}

bool ParsesPacked(const std::vector<uint8_t>& dib, BmpLayout* layout) {
  return ParsePackedDib(dib.data(), dib.size(), layout);
}

}  // namespace

TEST(PackedDib, PixelsFollowAShortPalette) {
  const std::vector<uint8_t> dib = Packed(Indexed8(5, 3));
  BmpLayout layout;
  ASSERT_TRUE(ParsesPacked(dib, &layout));
  EXPECT_EQ(layout.pixelOffset, 40u + 3 * 4);
  EXPECT_EQ(layout.info.header.biClrUsed, 256u);
  EXPECT_EQ(layout.info.colors[2], 0x00FF00u);
}

TEST(PackedDib, FullPaletteBitFieldsAndTopDownRows) {
  BmpRecipe mono;
  mono.width = 9;
  mono.height = -2;
  mono.bitCount = 1;
  mono.palette = {0x203040, 0xF0E0D0};
  mono.pixelData = PackRowsTopDown(9, 2, 1, [](int32_t x, int32_t) { return x & 1; });
  BmpLayout layout;
  ASSERT_TRUE(ParsesPacked(Packed(mono), &layout));
  EXPECT_EQ(layout.pixelOffset, 40u + 2 * 4);
  EXPECT_EQ(layout.info.header.biHeight, -2);

  BmpRecipe fields;
  fields.width = 4;
  fields.height = 2;
  fields.bitCount = 16;
  fields.compression = kBiBitfields;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.pixelData = PackRows(4, 2, 16, [](int32_t x, int32_t y) { return x * 100 + y; });
  ASSERT_TRUE(ParsesPacked(Packed(fields), &layout));
  EXPECT_EQ(layout.pixelOffset, 40u + 12);
  EXPECT_EQ(layout.info.colors[1], 0x07E0u);
}

TEST(PackedDib, RefusesMissingRowsAndCutHeaders) {
  std::vector<uint8_t> dib = Packed(Indexed8(5, 3));
  dib.pop_back();
  BmpLayout layout;
  EXPECT_FALSE(ParsesPacked(dib, &layout));
  dib.resize(40 + 4);  // header and one palette entry only
  EXPECT_FALSE(ParsesPacked(dib, &layout));
  dib.resize(3);
  EXPECT_FALSE(ParsesPacked(dib, &layout));
  EXPECT_FALSE(ParsePackedDib(dib.data(), 0, &layout));
}
