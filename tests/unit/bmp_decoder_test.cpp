#include <gtest/gtest.h>

#include "core/bmp_decoder.h"
#include "core/dib_header.h"
#include "core/image_buffer.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

// Every depth the decoder reads, bottom-up and top-down: each pixel must come out as the
// colour 0xRRGGBB that `colourAt` gives for its column and picture row (0 = top).
TEST(BmpDecode, EveryDepthAndRowOrder) {
  const std::vector<uint32_t> palette = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};
  const struct {
    uint16_t bits;
    uint32_t compression;
    std::vector<uint32_t> masks;
    std::function<uint32_t(int32_t, int32_t)> valueAt, colourAt;
  } cases[] = {
      {24,
       0,
       {},
       [](int32_t x, int32_t y) { return (x * 0x10305u + y * 0x70100u) & 0xFFFFFF; },
       {}},
      {32, 0, {}, [](int32_t x, int32_t y) { return x * 0x10305u + y * 0x70100u; }, {}},
      {1, 0, {}, [](int32_t x, int32_t y) { return (x + y) % 2u; }, {}},
      {4, 0, {}, [](int32_t x, int32_t y) { return (x + y) % 4u; }, {}},
      {8, 0, {}, [](int32_t x, int32_t y) { return (x + 2 * y) % 4u; }, {}},
      {16,
       0,
       {},
       [](int32_t x, int32_t) { return x % 2 ? 0x001Fu : 0x7C00u; },
       [](int32_t x, int32_t) { return x % 2 ? 0x0000FFu : 0xFF0000u; }},
      {16,
       kBiBitfields,
       {0xF800, 0x07E0, 0x001F},  // 5-6-5
       [](int32_t x, int32_t) { return x % 2 ? 0x8000u : 0x07E0u; },
       [](int32_t x, int32_t) { return x % 2 ? 0x840000u : 0x00FF00u; }},
  };
  for (const auto& c : cases) {
    for (int32_t height : {3, -3}) {
      BmpRecipe recipe;
      recipe.width = 11;
      recipe.height = height;
      recipe.bitCount = c.bits;
      recipe.compression = c.compression;
      recipe.masks = c.masks;
      if (c.bits <= 8)
        recipe.palette = palette, recipe.palette.resize(size_t{1} << c.bits, 0x808080);
      recipe.pixelData = height > 0 ? PackRows(11, 3, c.bits, c.valueAt)
                                    : PackRowsTopDown(11, 3, c.bits, c.valueAt);
      const std::vector<uint8_t> file = BuildBmp(recipe);
      ImageBuffer image;
      ASSERT_TRUE(DecodeBmpImage(file.data(), file.size(), &image)) << c.bits << " " << height;
      ASSERT_TRUE(image.bitsPerPixel == 24 && image.width == 11 && image.height == 3);
      for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 11; ++x) {
          const uint8_t* p = image.pixels + (2 - y) * image.stride + 3 * x;
          const uint32_t value = c.valueAt(x, y);
          const uint32_t expected = c.colourAt    ? c.colourAt(x, y)
                                    : c.bits <= 8 ? palette[value]
                                                  : value & 0xFFFFFF;
          EXPECT_EQ(uint32_t{p[2]} << 16 | p[1] << 8 | p[0], expected)
              << c.bits << " " << height << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(BmpDecode, RefusesWhatItCannotReadAndLeavesTheTargetEmpty) {
  BmpRecipe cut;
  cut.width = 4;
  cut.height = 2;
  cut.pixelData = PackRows(4, 2, 24, [](int32_t x, int32_t) { return uint32_t(x); });
  cut.pixelData.pop_back();
  BmpRecipe rle;  // run-length data is read by the system, not here
  rle.width = 2;
  rle.height = 1;
  rle.bitCount = 8;
  rle.compression = kBiRle8;
  rle.palette = {0, 0xFFFFFF};
  rle.pixelData = {2, 1, 0, 1};
  for (const BmpRecipe& recipe : {cut, rle}) {
    const std::vector<uint8_t> file = BuildBmp(recipe);
    ImageBuffer image;
    EXPECT_FALSE(DecodeBmpImage(file.data(), file.size(), &image));
    EXPECT_EQ(image.kind, kImageEmpty);
  }
}

}  // namespace
