#include <gtest/gtest.h>

#include <vector>

#include "core/image_buffer.h"
#include "core/plugin_bitmap.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

// What a plug-in hands back, the information block and the pixels of a BMP file, is taken with
// its palette whole and its row order kept; only bitmaps the program reads, and only what fits
// the plug-in's memory, are taken.
TEST(PluginBitmap, NormalisesWhatItReadsAndRefusesTheRest) {
  BmpRecipe recipe;
  recipe.width = 3;
  recipe.height = -2;
  recipe.bitCount = 8;
  recipe.palette = {0xFF000000, 0xFF010203, 0xFF040506};  // reserved bytes set
  recipe.colorsUsed = 3;
  recipe.pixelData = PackRowsTopDown(3, 2, 8, [](int32_t x, int32_t) { return uint32_t(x); });
  const std::vector<uint8_t> file = BuildBmp(recipe);
  const std::vector<uint8_t> good(file.begin() + 14, file.begin() + BmpPixelOffset(recipe));
  PluginBitmap bitmap;
  ASSERT_TRUE(CheckPluginBitmap(good.data(), good.size(), 8, &bitmap));
  EXPECT_TRUE(bitmap.height == 2 && bitmap.topDown && bitmap.info.header.biClrUsed == 256);
  EXPECT_TRUE(bitmap.info.colors[2] == 0x040506u && bitmap.info.colors[3] == 0);
  EXPECT_FALSE(CheckPluginBitmap(good.data(), good.size(), 7, &bitmap));
  BmpRecipe fields;  // 5-6-5 masks after the header, a header that says no planes
  fields.width = 2;
  fields.height = 1;
  fields.bitCount = 16;
  fields.compression = kBiBitfields;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.pixelData = PackRows(2, 1, 16, [](int32_t, int32_t) { return 0xFFFFu; });
  std::vector<uint8_t> masked = BuildBmp(fields);
  Put16(masked, 14 + 12, 0);
  ASSERT_TRUE(CheckPluginBitmap(masked.data() + 14, BmpPixelOffset(fields) - 14, 4, &bitmap));
  EXPECT_TRUE(bitmap.info.colors[0] == 0xF800 && bitmap.info.colors[1] == 0x07E0 &&
              bitmap.info.colors[2] == 0x001F && bitmap.info.colors[3] == 0 &&
              bitmap.info.header.biPlanes == 1);
  Put32(masked, 14, 44);  // a header size no bitmap has, the masks still in the block
  EXPECT_FALSE(CheckPluginBitmap(masked.data() + 14, 52, 4, &bitmap));
  EXPECT_FALSE(CheckPluginBitmap(good.data(), good.size() - 1, 8, &bitmap));
  BmpRecipe plain;  // 24 bits, top-down: the record's rows come bottom-up
  plain.width = 1;
  plain.height = -3;
  plain.pixelData = PackRowsTopDown(1, 3, 24, [](int32_t, int32_t y) { return uint32_t(y + 1); });
  const std::vector<uint8_t> rows = BuildBmp(plain);
  ASSERT_TRUE(CheckPluginBitmap(rows.data() + 14, 40, 12, &bitmap) && IsPlain24BitBitmap(bitmap));
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 1, 24, 3));
  CopyPlain24BitRows(bitmap, rows.data() + BmpPixelOffset(plain), &image);
  EXPECT_TRUE(image.pixels[0] == 3 && image.pixels[4] == 2 && image.pixels[8] == 1);
  const uint32_t lies[][2] = {{4, 0xFFFFFFFF},  // negative width
                              {16, kBiRle8},    // run-length coded
                              {32, 257},        // more colours than 8 bits hold
                              {0, 44},          // an unknown header size
                              {0, 124},         // a header that claims more than the block holds
                              {4, 1u << 28}};   // 2^29 pixels in two rows
  for (const auto& lie : lies) {
    std::vector<uint8_t> info = good;
    Put32(info, lie[0], lie[1]);
    EXPECT_FALSE(CheckPluginBitmap(info.data(), info.size(), SIZE_MAX, &bitmap)) << lie[0];
  }
}

}  // namespace
