#include <gtest/gtest.h>

#include "core/bmp_format.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

BmpRecipe Recipe(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0) {
  BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.bitCount = bits;
  recipe.compression = compression;
  if (bits <= 8) {
    recipe.palette = {0x102030, 0xFF0000, 0x00FF00};
    recipe.palette.resize(bits == 1 ? 2 : 3);
    recipe.colorsUsed = static_cast<uint32_t>(recipe.palette.size());
  }
  if (compression == kBiBitfields) recipe.masks = {0xF800, 0x07E0, 0x001F};
  const int32_t rows = height < 0 ? -height : height;
  auto value = [](int32_t x, int32_t y) { return static_cast<uint32_t>(x + y) % 2; };
  recipe.pixelData =
      height < 0 ? PackRowsTopDown(width, rows, bits, value) : PackRows(width, rows, bits, value);
  return recipe;
}

bool Parses(const std::vector<uint8_t>& file, BmpLayout* layout = nullptr) {
  BmpLayout local;
  return ParseBmpFile(file.data(), file.size(), layout ? layout : &local);
}

// A scanner's packed DIB: the file without its 14-byte file header.
bool ParsesPacked(const BmpRecipe& recipe, BmpLayout* layout, size_t cut = 0) {
  const std::vector<uint8_t> file = BuildBmp(recipe);
  return ParsePackedDib(file.data() + kBmpFileHeaderSize, file.size() - kBmpFileHeaderSize - cut,
                        layout);
}

TEST(BmpParse, NormalisesEveryHeaderKind) {
  BmpLayout layout;
  ASSERT_TRUE(Parses(BuildBmp(Recipe(5, 3, 8)), &layout));
  const DibHeader& h = layout.info.header;
  EXPECT_TRUE(h.biSize == 40 && h.biWidth == 5 && h.biHeight == 3 && h.biBitCount == 8);
  EXPECT_EQ(h.biClrUsed, 256u);  // the whole table, entries past the file's own black
  EXPECT_EQ(h.biSizeImage, 24u);
  EXPECT_TRUE(layout.info.colors[1] == 0xFF0000 && layout.info.colors[3] == 0);
  EXPECT_EQ(layout.pixelOffset, BmpPixelOffset(Recipe(5, 3, 8)));
  BmpRecipe core = Recipe(3, 2, 1);  // the core header's triples become quads
  core.headerSize = 12;
  ASSERT_TRUE(Parses(BuildBmp(core), &layout));
  EXPECT_TRUE(h.biWidth == 3 && h.biClrUsed == 2 && layout.info.colors[1] == 0xFF0000);
  ASSERT_TRUE(Parses(BuildBmp(Recipe(2, 2, 16, kBiBitfields)), &layout));
  EXPECT_TRUE(layout.info.colors[0] == 0xF800 && layout.info.colors[2] == 0x001F);
  ASSERT_TRUE(Parses(BuildBmp(Recipe(4, -2, 8)), &layout));
  EXPECT_EQ(h.biHeight, -2);
  BmpRecipe rle = Recipe(5, 2, 8, kBiRle8);
  rle.pixelData = {5, 1, 0, 0, 0, 3, 1, 2, 1, 0, 0, 1, 0xEE, 0xEE};  // junk after the end
  ASSERT_TRUE(Parses(BuildBmp(rle), &layout));
  EXPECT_EQ(h.biSizeImage, 12u);
  rle.pixelData = {0, 2, 1, 1, 0, 1};  // a move followed by the end
  EXPECT_TRUE(Parses(BuildBmp(rle)));
  BmpRecipe rle4 = Recipe(5, 2, 4, kBiRle4);
  rle4.pixelData = {0, 5, 0x12, 0x34, 0x50, 0, 0, 1};  // five nibbles take three bytes and a pad
  ASSERT_TRUE(Parses(BuildBmp(rle4), &layout));
  EXPECT_EQ(h.biSizeImage, 8u);
}

TEST(BmpParse, RefusesWhatDoesNotFitOrIsNotRead) {
  const std::vector<uint8_t> good = BuildBmp(Recipe(5, 3, 8));
  const struct {
    size_t offset;
    int width;
    uint32_t value;
  } lies[] = {
      {0, 2, 0x4D42 ^ 0x0100},
      {14, 4, 64},
      {14, 4, 0},
      {14, 4, 39},
      {18, 4, 0},
      {18, 4, 0x80000000},
      {22, 4, 0},
      {22, 4, 0x80000000},
      {26, 2, 2},
      {28, 2, 7},
      {28, 2, 25},
      {30, 4, 2},
      {30, 4, 4},
      {30, 4, 5},
      {18, 4, 1u << 20},
      {22, 4, 4},    // taller than the data
      {46, 4, 257},  // more colours than 8 bits hold
      {10, 4, static_cast<uint32_t>(good.size()) + 1},
      {10, 4, 0xFFFFFFF0u},  // offset beyond
  };
  for (const auto& lie : lies) {
    std::vector<uint8_t> file = good;
    lie.width == 2 ? Put16(file, lie.offset, lie.value) : Put32(file, lie.offset, lie.value);
    EXPECT_FALSE(Parses(file)) << "offset " << lie.offset << " value " << lie.value;
  }
  std::vector<uint8_t> file = good;
  Put32(file, 10, BmpPixelOffset(Recipe(5, 3, 8)) - 4);  // harmless: still inside the file
  EXPECT_TRUE(Parses(file));
  std::vector<uint8_t> fullTable(good.begin(), good.begin() + 14 + 40 + 4);
  Put32(fullTable, 46, 0);  // 256 entries, beyond the file
  for (const std::vector<uint8_t>& cut :
       {fullTable, std::vector<uint8_t>(good.begin(), good.end() - 1),
        std::vector<uint8_t>(good.begin(), good.begin() + 30), std::vector<uint8_t>{'B', 'M'},
        std::vector<uint8_t>{}}) {
    EXPECT_FALSE(Parses(cut)) << cut.size();
  }
  BmpRecipe masks = Recipe(2, 2, 16, kBiBitfields);
  std::vector<uint8_t> noMasks = BuildBmp(masks);
  noMasks.resize(14 + 40 + 8);
  EXPECT_FALSE(Parses(noMasks));
}

TEST(BmpParse, RefusesRunLengthDataThatLeavesTheFile) {
  BmpRecipe rle = Recipe(5, 2, 8, kBiRle8);
  BmpRecipe rle4 = Recipe(5, 2, 4, kBiRle4), topDown = Recipe(5, -2, 8, kBiRle8);
  const struct {
    BmpRecipe* recipe;
    std::vector<uint8_t> data;
  } streams[] = {
      {&rle, {5, 1, 0, 0}},                     // no end-of-bitmap mark
      {&rle, {0, 5, 1, 2, 3}},                  // literal pixels cut off
      {&rle, {0, 2, 1}},                        // a move cut off
      {&rle, {5}},                              // half a run
      {&rle, {}},                               // nothing at all
      {&rle4, {0, 5, 0x12, 0x34, 0x50, 0, 1}},  // the pad missing: the mark is misread
      {&topDown, {5, 1, 0, 1}},                 // run-length data is always bottom-up
  };
  for (const auto& s : streams) {
    s.recipe->pixelData = s.data;
    EXPECT_FALSE(Parses(BuildBmp(*s.recipe))) << &s - streams;
  }
}

TEST(PackedDib, PixelsFollowTheTableOrTheMasks) {
  BmpLayout layout;
  ASSERT_TRUE(ParsesPacked(Recipe(5, 3, 8), &layout));
  EXPECT_EQ(layout.pixelOffset, 40u + 3 * 4);
  EXPECT_TRUE(layout.info.header.biClrUsed == 256 && layout.info.colors[2] == 0x00FF00);
  ASSERT_TRUE(ParsesPacked(Recipe(9, -2, 1), &layout));
  EXPECT_TRUE(layout.pixelOffset == 40 + 2 * 4 && layout.info.header.biHeight == -2);
  ASSERT_TRUE(ParsesPacked(Recipe(4, 2, 16, kBiBitfields), &layout));
  EXPECT_TRUE(layout.pixelOffset == 40 + 12 && layout.info.colors[1] == 0x07E0);
  BmpRecipe indexed = Recipe(5, 3, 8);
  EXPECT_FALSE(ParsesPacked(indexed, &layout, 1));
  const size_t size = BuildBmp(indexed).size() - kBmpFileHeaderSize;
  for (size_t left : {40 + 4, 3, 0}) EXPECT_FALSE(ParsesPacked(indexed, &layout, size - left));
}

}  // namespace
