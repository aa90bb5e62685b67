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
  using Map = std::function<uint32_t(int32_t, int32_t)>;
  const Map index = [](int32_t x, int32_t y) { return (x + 2 * y) % 4u; };
  const Map rgb = [](int32_t x, int32_t y) { return (x * 0x10305u + y * 0x70100u) & 0xFFFFFF; };
  const Map fields = [](int32_t x, int32_t) { return x % 2 ? 0x8000u : 0x07E0u; };  // 5-6-5
  const Map fieldColours = [](int32_t x, int32_t) { return x % 2 ? 0x840000u : 0x00FF00u; };
  const Map words = [](int32_t x, int32_t) { return x % 2 ? 0x001Fu : 0x7C00u; };  // 5-5-5
  const Map wordColours = [](int32_t x, int32_t) { return x % 2 ? 0x0000FFu : 0xFF0000u; };
  const Map paletted = [&](int32_t x, int32_t y) { return palette[index(x, y) % 2]; };
  const struct {
    uint16_t bits;
    uint32_t compression;
    Map valueAt, colourAt;
  } cases[] = {{1, 0, [&](int32_t x, int32_t y) { return index(x, y) % 2; }, paletted},
               {4, 0, index, [&](int32_t x, int32_t y) { return palette[index(x, y)]; }},
               {8, 0, index, [&](int32_t x, int32_t y) { return palette[index(x, y)]; }},
               {16, 0, words, wordColours},
               {16, kBiBitfields, fields, fieldColours},
               {24, 0, rgb, rgb},
               {32, 0, [&](int32_t x, int32_t y) { return rgb(x, y) | 0xAB000000; }, rgb}};
  for (const auto& c : cases) {
    for (int32_t height : {3, -3}) {
      BmpRecipe recipe;
      recipe.width = 11;
      recipe.height = height;
      recipe.bitCount = c.bits;
      recipe.compression = c.compression;
      if (c.compression == kBiBitfields) recipe.masks = {0xF800, 0x07E0, 0x001F};
      if (c.bits <= 8) recipe.palette = palette, recipe.palette.resize(size_t{1} << c.bits);
      recipe.pixelData = height > 0 ? PackRows(11, 3, c.bits, c.valueAt)
                                    : PackRowsTopDown(11, 3, c.bits, c.valueAt);
      const std::vector<uint8_t> file = BuildBmp(recipe);
      ImageBuffer image;
      ASSERT_TRUE(DecodeBmpImage(file.data(), file.size(), &image)) << c.bits << " " << height;
      ASSERT_TRUE(image.bitsPerPixel == 24 && image.width == 11 && image.height == 3);
      for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 11; ++x) {
          const uint8_t* p = image.pixels + (2 - y) * image.stride + 3 * x;
          EXPECT_EQ(uint32_t{p[2]} << 16 | p[1] << 8 | p[0], c.colourAt(x, y))
              << c.bits << " " << height << " at " << x << "," << y;
        }
      }
      // Cut short by a byte: refused, and the target left empty.
      ImageBuffer refused;
      EXPECT_FALSE(DecodeBmpImage(file.data(), file.size() - 1, &refused));
      EXPECT_EQ(refused.kind, kImageEmpty);
    }
  }
}

}  // namespace
