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

  explicit PluginResult(const BmpRecipe& recipe) {
    const std::vector<uint8_t> file = BuildBmp(recipe);
    info.assign(file.begin() + 14, file.begin() + BmpPixelOffset(recipe));
    pixels.assign(file.begin() + BmpPixelOffset(recipe), file.end());
  }

  bool Check(PluginBitmap* bitmap) const {
    return CheckPluginBitmap(info.data(), info.size(), pixels.size(), bitmap);
  }
};

BmpRecipe Indexed(int32_t height) {
  BmpRecipe recipe;
  recipe.width = 3;
  recipe.height = height;
  recipe.bitCount = 8;
  recipe.palette = {0xFF000000, 0xFF010203, 0xFF040506};
  recipe.colorsUsed = 3;
  recipe.pixelData =
      PackRows(3, height < 0 ? -height : height, 8, [](int32_t x, int32_t) { return uint32_t(x); });
  return recipe;
}

// Palettes come back whole and without their reserved bytes, and the row order is kept; only
// bitmaps the program reads, and only what fits the plug-in's memory, are taken.
TEST(PluginBitmap, NormalisesWhatItReadsAndRefusesTheRest) {
  PluginBitmap bitmap;
  ASSERT_TRUE(PluginResult(Indexed(-2)).Check(&bitmap));
  const DibHeader& header = bitmap.info.header;
  EXPECT_TRUE(bitmap.width == 3 && bitmap.height == 2 && bitmap.topDown);
  EXPECT_TRUE(header.biSize == 40 && header.biHeight == -2 && header.biClrUsed == 256);
  EXPECT_TRUE(header.biSizeImage == 8 && bitmap.info.colors[2] == 0x040506u);
  EXPECT_TRUE(bitmap.info.colors[3] == 0 && !IsPlain24BitBitmap(bitmap));
  const struct {
    size_t offset;
    uint32_t value;
  } fields[] = {
      {4, 0xFFFFFFFF},  // negative width
      {8, 0x80000000},  // no positive counterpart
      {16, kBiRle8},    // run-length coded
      {32, 257},        // more colours than 8 bits hold
      {0, 64},          // an unknown header size
      {0, 124},         // a header that claims more than the block holds
  };
  for (const auto& f : fields) {
    PluginResult result(Indexed(2));
    Put32(result.info, f.offset, f.value);
    EXPECT_FALSE(result.Check(&bitmap)) << f.offset << " " << f.value;
  }
  PluginResult shortPixels(Indexed(2)), shortTable = shortPixels, huge = shortPixels;
  shortPixels.pixels.pop_back();
  shortTable.info.pop_back();
  EXPECT_FALSE(shortPixels.Check(&bitmap) || shortTable.Check(&bitmap));
  Put32(huge.info, 4, 1 << 15);
  Put32(huge.info, 8, 1 << 14);  // 2^29 pixels
  EXPECT_FALSE(CheckPluginBitmap(huge.info.data(), huge.info.size(), SIZE_MAX, &bitmap));
}

}  // namespace
