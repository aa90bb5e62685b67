#include <gtest/gtest.h>

#include <vector>

#include "core/image_buffer.h"
#include "core/plugin_bitmap.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

// What a plug-in hands back: the information block and the pixel data of a BMP recipe.
struct PluginResult {
  std::vector<uint8_t> info;
  std::vector<uint8_t> pixels;
};

PluginResult ResultOf(const BmpRecipe& recipe) {
  const std::vector<uint8_t> file = BuildBmp(recipe);
  const size_t pixelOffset = BmpPixelOffset(recipe);
  return {std::vector<uint8_t>(file.begin() + 14, file.begin() + pixelOffset),
          std::vector<uint8_t>(file.begin() + pixelOffset, file.end())};
}

bool Check(const PluginResult& result, PluginBitmap* bitmap) {
  return CheckPluginBitmap(result.info.data(), result.info.size(), result.pixels.size(), bitmap);
}

BmpRecipe Indexed(int32_t width, int32_t height, uint32_t entries) {
  BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.bitCount = 8;
  for (uint32_t i = 0; i < entries; ++i) recipe.palette.push_back(0xFF000000u | i * 0x010203u);
  recipe.colorsUsed = entries;
  recipe.pixelData = PackRows(width, height < 0 ? -height : height, 8,
                              [](int32_t x, int32_t) { return uint32_t(x); });
  return recipe;
}

uint32_t Rgb(int32_t x, int32_t y) { return uint32_t(x * 40) << 16 | uint32_t(y * 50) << 8 | 7; }

TEST(PluginBitmap, NormalisesPalettesAndMasksAndCopiesRowsUpright) {
  PluginBitmap bitmap;
  ASSERT_TRUE(Check(ResultOf(Indexed(3, -2, 5)), &bitmap));
  const DibHeader& header = bitmap.info.header;
  EXPECT_TRUE(bitmap.width == 3 && bitmap.height == 2 && bitmap.topDown);
  EXPECT_TRUE(header.biSize == 40 && header.biHeight == -2);  // the row order is kept
  EXPECT_TRUE(header.biClrUsed == 256 && header.biSizeImage == 8);
  EXPECT_EQ(bitmap.info.colors[4], 0x04080Cu);  // the reserved byte dropped
  EXPECT_EQ(bitmap.info.colors[5], 0u);         // entries the plug-in left out are black
  EXPECT_FALSE(IsPlain24BitBitmap(bitmap));
  BmpRecipe fields;
  fields.width = 2;
  fields.height = 2;
  fields.bitCount = 16;
  fields.compression = kBiBitfields;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.pixelData = PackRows(2, 2, 16, [](int32_t, int32_t) { return 0xFFFFu; });
  ASSERT_TRUE(Check(ResultOf(fields), &bitmap));
  EXPECT_TRUE(bitmap.info.colors[0] == 0xF800 && bitmap.info.colors[2] == 0x001F);
  for (bool topDown : {false, true}) {
    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = topDown ? -3 : 3;
    recipe.pixelData = topDown ? PackRowsTopDown(5, 3, 24, Rgb) : PackRows(5, 3, 24, Rgb);
    const PluginResult result = ResultOf(recipe);
    ASSERT_TRUE(Check(result, &bitmap) && IsPlain24BitBitmap(bitmap));
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 3));
    CopyPlain24BitRows(bitmap, result.pixels.data(), &image);
    const std::vector<uint8_t> bottomUp = PackRows(5, 3, 24, Rgb);
    EXPECT_TRUE(std::equal(bottomUp.begin(), bottomUp.end(), image.pixels)) << topDown;
  }
}

// Only bitmaps the program reads, and only what fits the plug-in's memory.
TEST(PluginBitmap, RefusesWhatItCannotReadOrWhatDoesNotFit) {
  const struct {
    size_t offset;
    uint32_t value;
    bool wide;
  } fields[] = {
      {4, 0, true},           // no width
      {4, 0xFFFFFFFF, true},  // negative width
      {8, 0, true},           // no height
      {8, 0x80000000, true},  // no positive counterpart
      {14, 7, false},         // no such depth
      {16, kBiRle8, true},    // run-length coded
      {32, 257, true},        // more colours than 8 bits hold
      {0, 64, true},          // an unknown header size
      {0, 124, true},         // a header that claims more than the block holds
  };
  PluginBitmap bitmap;
  for (const auto& f : fields) {
    PluginResult result = ResultOf(Indexed(4, 2, 4));
    f.wide ? Put32(result.info, f.offset, f.value) : Put16(result.info, f.offset, f.value);
    EXPECT_FALSE(Check(result, &bitmap)) << f.offset << " " << f.value;
  }
  PluginResult shortPixels = ResultOf(Indexed(5, 3, 4)), shortTable = shortPixels,
               shortHeader = shortPixels, huge = shortPixels;
  shortPixels.pixels.pop_back();
  shortTable.info.pop_back();
  shortHeader.info.resize(39);
  for (const PluginResult* result : {&shortPixels, &shortTable, &shortHeader}) {
    EXPECT_FALSE(Check(*result, &bitmap));
  }
  Put32(huge.info, 4, 1 << 15);
  Put32(huge.info, 8, 1 << 14);  // 2^29 pixels
  EXPECT_FALSE(CheckPluginBitmap(huge.info.data(), huge.info.size(), SIZE_MAX, &bitmap));
}

}  // namespace
