#include <gtest/gtest.h>

#include "core/bmp_decoder.h"
#include "core/image_buffer.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

// The colour 0xRRGGBB of the pixel at column x of picture row y (0 = top).
uint32_t ColourAt(const ImageBuffer& image, int32_t x, int32_t y) {
  const uint8_t* p = image.pixels + (image.height - 1 - y) * image.stride + 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

uint32_t Sample(int32_t x, int32_t y) { return static_cast<uint32_t>(x * 0x10305 + y * 0x70100); }

bool Decode(const BmpRecipe& recipe, ImageBuffer* image) {
  const std::vector<uint8_t> file = BuildBmp(recipe);
  return DecodeBmpImage(file.data(), file.size(), image);
}

TEST(BmpDecode, TrueColourBottomUpAndTopDown) {
  for (uint16_t bits : {24, 32}) {
    for (bool topDown : {false, true}) {
      BmpRecipe recipe;
      recipe.width = 5;
      recipe.height = topDown ? -3 : 3;
      recipe.bitCount = bits;
      recipe.pixelData =
          topDown ? PackRowsTopDown(5, 3, bits, Sample) : PackRows(5, 3, bits, Sample);
      ImageBuffer image;
      ASSERT_TRUE(Decode(recipe, &image)) << bits << " " << topDown;
      EXPECT_EQ(image.bitsPerPixel, 24);
      for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(ColourAt(image, x, y), Sample(x, y) & 0xFFFFFF);
      }
    }
  }
}

TEST(BmpDecode, PaletteImagesOfOneFourAndEightBits) {
  for (uint16_t bits : {1, 4, 8}) {
    BmpRecipe recipe;
    recipe.width = 11;
    recipe.height = 2;
    recipe.bitCount = bits;
    recipe.palette = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};
    recipe.palette.resize(size_t{1} << bits, 0x808080);
    const uint32_t maxIndex = bits == 1 ? 1 : 3;
    recipe.pixelData =
        PackRows(11, 2, bits, [&](int32_t x, int32_t y) { return (x + y) % (maxIndex + 1); });
    ImageBuffer image;
    ASSERT_TRUE(Decode(recipe, &image)) << bits;
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < 11; ++x) {
        EXPECT_EQ(ColourAt(image, x, y), recipe.palette[(x + y) % (maxIndex + 1)]) << bits;
      }
    }
  }
}

TEST(BmpDecode, SixteenBitsAndBitFields) {
  BmpRecipe plain;
  plain.width = 2;
  plain.height = 1;
  plain.bitCount = 16;
  plain.pixelData =
      PackRows(2, 1, 16, [](int32_t x, int32_t) { return x == 0 ? 0x7C00u : 0x001Fu; });
  ImageBuffer image;
  ASSERT_TRUE(Decode(plain, &image));
  EXPECT_EQ(ColourAt(image, 0, 0), 0xFF0000u);
  EXPECT_EQ(ColourAt(image, 1, 0), 0x0000FFu);

  BmpRecipe fields = plain;
  fields.compression = 3;
  fields.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
  fields.pixelData =
      PackRows(2, 1, 16, [](int32_t x, int32_t) { return x == 0 ? 0x07E0u : 0x8000u; });
  ImageBuffer fieldImage;
  ASSERT_TRUE(Decode(fields, &fieldImage));
  EXPECT_EQ(ColourAt(fieldImage, 0, 0), 0x00FF00u);
  EXPECT_EQ(ColourAt(fieldImage, 1, 0), 0x840000u);
}

TEST(BmpDecode, RefusesWhatItCannotReadAndLeavesTheTargetEmpty) {
  BmpRecipe recipe;
  recipe.width = 4;
  recipe.height = 2;
  recipe.bitCount = 24;
  recipe.pixelData = PackRows(4, 2, 24, Sample);
  std::vector<uint8_t> file = BuildBmp(recipe);
  file.pop_back();  // pixel data cut short
  ImageBuffer image;
  EXPECT_FALSE(DecodeBmpImage(file.data(), file.size(), &image));
  EXPECT_EQ(image.kind, kImageEmpty);

  BmpRecipe rle;
  rle.width = 2;
  rle.height = 1;
  rle.bitCount = 8;
  rle.compression = 1;
  rle.palette = {0, 0xFFFFFF};
  rle.pixelData = {2, 1, 0, 1};
  const std::vector<uint8_t> rleFile = BuildBmp(rle);
  EXPECT_FALSE(DecodeBmpImage(rleFile.data(), rleFile.size(), &image));
  EXPECT_EQ(image.kind, kImageEmpty);
}

}  // namespace
