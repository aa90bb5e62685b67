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

}  // namespace

TEST(PluginBitmap, PaletteResultsAreNormalised) {
  PluginBitmap bitmap;
  ASSERT_TRUE(Check(ResultOf(Indexed(3, -2, 5)), &bitmap));
  EXPECT_EQ(bitmap.width, 3);
  EXPECT_EQ(bitmap.height, 2);
  EXPECT_TRUE(bitmap.topDown);
  const DibHeader& header = bitmap.info.header;
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biHeight, -2);  // the conversion keeps the row order
  EXPECT_EQ(header.biClrUsed, 256u);
  EXPECT_EQ(header.biSizeImage, 8u);
  EXPECT_EQ(bitmap.info.colors[4], 0x04080Cu);  // the reserved byte dropped
  EXPECT_EQ(bitmap.info.colors[5], 0u);         // entries the plug-in left out are black
}

TEST(PluginBitmap, BitFieldMasksFollowTheHeader) {
  BmpRecipe recipe;
  recipe.width = 2;
  recipe.height = 2;
  recipe.bitCount = 16;
  recipe.compression = kBiBitfields;
  recipe.masks = {0xF800, 0x07E0, 0x001F};
  recipe.pixelData = PackRows(2, 2, 16, [](int32_t, int32_t) { return 0xFFFFu; });
  PluginBitmap bitmap;
  ASSERT_TRUE(Check(ResultOf(recipe), &bitmap));
  EXPECT_EQ(bitmap.info.colors[0], 0xF800u);
  EXPECT_EQ(bitmap.info.colors[2], 0x001Fu);

  PluginResult noMasks = ResultOf(recipe);
  noMasks.info.resize(40);
  EXPECT_FALSE(Check(noMasks, &bitmap));
}

TEST(PluginBitmap, WhatDoesNotFitItsMemoryIsRefused) {
  PluginBitmap bitmap;
  PluginResult shortPixels = ResultOf(Indexed(5, 3, 4));
  shortPixels.pixels.pop_back();
  EXPECT_FALSE(Check(shortPixels, &bitmap));

  PluginResult shortTable = ResultOf(Indexed(5, 3, 4));
  shortTable.info.resize(shortTable.info.size() - 1);
  EXPECT_FALSE(Check(shortTable, &bitmap));

  PluginResult shortHeader = ResultOf(Indexed(5, 3, 4));
  shortHeader.info.resize(39);
  EXPECT_FALSE(Check(shortHeader, &bitmap));

  // A header that claims more than the block holds.
  PluginResult claims = ResultOf(Indexed(5, 3, 0));
  Put32(claims.info, 0, 124);
  EXPECT_FALSE(Check(claims, &bitmap));
}

TEST(PluginBitmap, OnlyBitmapsTheProgramReadsAreTaken) {
  PluginBitmap bitmap;
  auto withField = [](size_t offset, uint32_t value, bool wide) {
    PluginResult result = ResultOf(Indexed(4, 2, 4));
    if (wide) {
      Put32(result.info, offset, value);
    } else {
      Put16(result.info, offset, value);
    }
    return result;
  };
  EXPECT_FALSE(Check(withField(4, 0, true), &bitmap));           // no width
  EXPECT_FALSE(Check(withField(4, 0xFFFFFFFF, true), &bitmap));  // negative width
  EXPECT_FALSE(Check(withField(8, 0, true), &bitmap));           // no height
  EXPECT_FALSE(Check(withField(8, 0x80000000, true), &bitmap));  // no positive counterpart
  EXPECT_FALSE(Check(withField(14, 7, false), &bitmap));         // no such depth
  EXPECT_FALSE(Check(withField(16, kBiRle8, true), &bitmap));    // run-length coded
  EXPECT_FALSE(Check(withField(32, 257, true), &bitmap));        // more colours than 8 bits hold
  EXPECT_FALSE(Check(withField(0, 64, true), &bitmap));          // an unknown header size

  PluginResult huge = ResultOf(Indexed(4, 2, 4));
  Put32(huge.info, 4, 1 << 15);
  Put32(huge.info, 8, 1 << 14);  // 2^29 pixels
  EXPECT_FALSE(CheckPluginBitmap(huge.info.data(), huge.info.size(), SIZE_MAX, &bitmap));
}

TEST(PluginBitmap, TwentyFourBitRowsAreCopiedUpright) {
  for (bool topDown : {false, true}) {
    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = topDown ? -3 : 3;
    recipe.pixelData = topDown ? PackRowsTopDown(5, 3, 24, Rgb) : PackRows(5, 3, 24, Rgb);
    PluginBitmap bitmap;
    const PluginResult result = ResultOf(recipe);
    ASSERT_TRUE(Check(result, &bitmap));
    ASSERT_TRUE(IsPlain24BitBitmap(bitmap));
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 3));
    CopyPlain24BitRows(bitmap, result.pixels.data(), &image);
    const std::vector<uint8_t> bottomUp = PackRows(5, 3, 24, Rgb);
    EXPECT_TRUE(std::equal(bottomUp.begin(), bottomUp.end(), image.pixels)) << topDown;
  }
  PluginBitmap indexed;
  ASSERT_TRUE(Check(ResultOf(Indexed(4, 2, 4)), &indexed));
  EXPECT_FALSE(IsPlain24BitBitmap(indexed));
}
