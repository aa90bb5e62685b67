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
    recipe.palette = {0x102030, 0xFF0000};
    recipe.colorsUsed = 2;
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

TEST(BmpParse, NormalisesEveryHeaderKind) {
  BmpLayout layout;
  const DibHeader& h = layout.info.header;
  ASSERT_TRUE(Parses(BuildBmp(Recipe(5, 3, 8)), &layout));
  EXPECT_TRUE(h.biSize == 40 && h.biWidth == 5 && h.biHeight == 3 && h.biBitCount == 8);
  EXPECT_EQ(h.biClrUsed, 256u);  // the whole table, entries past the file's own black
  EXPECT_EQ(h.biSizeImage, 24u);
  EXPECT_TRUE(layout.info.colors[1] == 0xFF0000 && layout.info.colors[2] == 0);
  EXPECT_EQ(layout.pixelOffset, BmpPixelOffset(Recipe(5, 3, 8)));
  BmpRecipe core = Recipe(3, 2, 1);  // the core header's triples become quads
  core.headerSize = 12;
  ASSERT_TRUE(Parses(BuildBmp(core), &layout));
  EXPECT_TRUE(h.biSize == 40 && h.biClrUsed == 2 && layout.info.colors[1] == 0xFF0000);
  ASSERT_TRUE(Parses(BuildBmp(Recipe(2, -2, 16, kBiBitfields)), &layout));
  EXPECT_TRUE(layout.info.colors[0] == 0xF800 && layout.info.colors[2] == 0x001F);
  EXPECT_EQ(h.biHeight, -2);
  // Run-length data is measured to its end mark, past runs, moves and padded literals.
  BmpRecipe rle = Recipe(5, 2, 8, kBiRle8);
  rle.pixelData = {5, 1, 0, 2, 1, 0, 0, 3, 1, 2, 1, 0, 0, 0, 0, 1, 0xEE, 0xEE};
  ASSERT_TRUE(Parses(BuildBmp(rle), &layout));
  EXPECT_EQ(h.biSizeImage, 16u);
  BmpRecipe rle4 = Recipe(5, 2, 4, kBiRle4);
  rle4.pixelData = {0, 5, 0x12, 0x34, 0x50, 0, 0, 1};  // five nibbles take three bytes and a pad
  ASSERT_TRUE(Parses(BuildBmp(rle4), &layout));
  EXPECT_EQ(h.biSizeImage, 8u);
  // A scanner's packed DIB: the file without its 14-byte file header.
  const std::vector<uint8_t> file = BuildBmp(Recipe(9, -2, 1));
  ASSERT_TRUE(ParsePackedDib(file.data() + 14, file.size() - 14, &layout));
  EXPECT_TRUE(layout.pixelOffset == 40 + 2 * 4 && h.biHeight == -2 && h.biClrUsed == 2);
  EXPECT_FALSE(ParsePackedDib(file.data() + 14, 40 + 4, &layout));
}

TEST(BmpParse, RefusesWhatDoesNotFitOrIsNotRead) {
  const std::vector<uint8_t> good = BuildBmp(Recipe(5, 3, 8));
  const struct {
    size_t offset;
    uint32_t value;
  } lies[] = {{14, 64},         {18, 0}, {18, 0x80000000},  // header size, width
              {22, 0x80000000}, {28, 7}, {30, 4},           // height, depth, compression
              {18, 1u << 20},   {22, 4}, {46, 257},  // wider or taller than the data, colours
              {10, 0xFFFFFFF0u}};                    // pixel offset beyond the file
  for (const auto& lie : lies) {
    std::vector<uint8_t> file = good;
    lie.offset == 28 ? Put16(file, lie.offset, lie.value) : Put32(file, lie.offset, lie.value);
    EXPECT_FALSE(Parses(file)) << "offset " << lie.offset << " value " << lie.value;
  }
  std::vector<uint8_t> fullTable(good.begin(), good.begin() + 14 + 40 + 4);
  Put32(fullTable, 46, 0);  // 256 entries, beyond the file
  EXPECT_FALSE(Parses(fullTable) || Parses({good.begin(), good.end() - 1}) || Parses({'B', 'M'}));
  BmpRecipe rle = Recipe(5, 2, 8, kBiRle8), rle4 = Recipe(5, 2, 4, kBiRle4);
  const struct {
    BmpRecipe* recipe;
    std::vector<uint8_t> data;
  } streams[] = {
      {&rle, {5, 1, 0, 0}},                     // no end-of-bitmap mark
      {&rle, {0, 5, 1, 2, 3}},                  // literal pixels cut off
      {&rle, {0, 2, 1}},                        // a move cut off
      {&rle, {5}},                              // half a run
      {&rle4, {0, 5, 0x12, 0x34, 0x50, 0, 1}},  // the pad missing: the mark is misread
  };
  for (const auto& s : streams) {
    s.recipe->pixelData = s.data;
    EXPECT_FALSE(Parses(BuildBmp(*s.recipe))) << &s - streams;
  }
}

}  // namespace
