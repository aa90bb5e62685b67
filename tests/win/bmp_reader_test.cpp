#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/bmp_reader.h"
#include "core/image_buffer.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

using ColorAt = std::function<uint32_t(int32_t x, int32_t y)>;  // 0xRRGGBB, y from the top

uint32_t PixelAt(const ImageBuffer& image, int32_t x, int32_t y) {
  const uint8_t* p = image.pixels + (image.height - 1 - y) * image.stride + 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

void ExpectLoads(const std::vector<uint8_t>& file, int32_t width, int32_t height,
                 const ColorAt& expected, uint32_t channelMask = 0xFFFFFF) {
  ImageBuffer image;
  ASSERT_TRUE(ReadBmpImage(file.data(), file.size(), &image));
  ASSERT_EQ(image.kind, kImage24);
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      ASSERT_EQ(PixelAt(image, x, y) & channelMask, expected(x, y) & channelMask)
          << "pixel " << x << "," << y;
    }
  }
}

std::vector<uint32_t> Palette(int entries) {
  std::vector<uint32_t> palette;
  for (int i = 0; i < entries; ++i) {
    palette.push_back(uint32_t((i * 37) & 0xFF) << 16 | uint32_t(255 - i) << 8 |
                      uint32_t(i * 5 & 0xFF));
  }
  return palette;
}

uint32_t Rgb(int32_t x, int32_t y) { return uint32_t(x * 40) << 16 | uint32_t(y * 50) << 8 | 0x5A; }

BmpRecipe Indexed(uint16_t bits, int32_t width, int32_t height, int entries) {
  BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.bitCount = bits;
  recipe.palette = Palette(entries);
  recipe.colorsUsed = entries == (1 << bits) ? 0 : static_cast<uint32_t>(entries);
  return recipe;
}

}  // namespace

TEST(BmpReader, IndexedDepthsTakeTheirTablesColours) {
  for (uint16_t bits : {1, 4, 8}) {
    const int entries = bits == 8 ? 40 : 1 << bits;
    BmpRecipe recipe = Indexed(bits, 7, 3, entries);
    auto index = [&](int32_t x, int32_t y) { return uint32_t(x * 3 + y) % entries; };
    recipe.pixelData = PackRows(7, 3, bits, index);
    const std::vector<uint32_t> palette = recipe.palette;
    ExpectLoads(BuildBmp(recipe), 7, 3, [&](int32_t x, int32_t y) { return palette[index(x, y)]; });
  }
}

TEST(BmpReader, DirectColourDepths) {
  BmpRecipe rgb24;
  rgb24.width = 5;
  rgb24.height = 3;
  rgb24.pixelData = PackRows(5, 3, 24, Rgb);
  ExpectLoads(BuildBmp(rgb24), 5, 3, Rgb);

  BmpRecipe rgb32 = rgb24;
  rgb32.bitCount = 32;
  rgb32.pixelData = PackRows(5, 3, 32, Rgb);
  ExpectLoads(BuildBmp(rgb32), 5, 3, Rgb);

  BmpRecipe fields32 = rgb32;
  fields32.compression = 3;
  fields32.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  ExpectLoads(BuildBmp(fields32), 5, 3, Rgb);

  // 16 bits keep five (or six) bits a channel: compare those.
  auto word555 = [](int32_t x, int32_t y) {
    const uint32_t c = Rgb(x, y);
    return (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
  };
  BmpRecipe rgb16 = rgb24;
  rgb16.bitCount = 16;
  rgb16.pixelData = PackRows(5, 3, 16, word555);
  ExpectLoads(BuildBmp(rgb16), 5, 3, Rgb, 0xF8F8F8);

  auto word565 = [](int32_t x, int32_t y) {
    const uint32_t c = Rgb(x, y);
    return (c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31);
  };
  BmpRecipe fields16 = rgb16;
  fields16.compression = 3;
  fields16.masks = {0xF800, 0x07E0, 0x001F};
  fields16.pixelData = PackRows(5, 3, 16, word565);
  ExpectLoads(BuildBmp(fields16), 5, 3, Rgb, 0xF8FCF8);
}

TEST(BmpReader, RunLengthEncodedFiles) {
  BmpRecipe rle8 = Indexed(8, 5, 3, 16);
  rle8.compression = 1;
  rle8.pixelData = {3, 1, 2, 2, 0, 0,              // bottom row: 1 1 1 2 2
                    0, 5, 3, 4, 5, 6, 7, 0, 0, 0,  // middle row: 3 4 5 6 7
                    5, 8, 0, 1};                   // top row: 8 8 8 8 8
  const uint8_t rows8[3][5] = {{8, 8, 8, 8, 8}, {3, 4, 5, 6, 7}, {1, 1, 1, 2, 2}};
  const std::vector<uint32_t> palette = rle8.palette;
  ExpectLoads(BuildBmp(rle8), 5, 3, [&](int32_t x, int32_t y) { return palette[rows8[y][x]]; });

  BmpRecipe rle4 = Indexed(4, 5, 3, 16);
  rle4.compression = 2;
  rle4.pixelData = {5, 0x12, 0,    0,                    // bottom row: 1 2 1 2 1
                    0, 5,    0x34, 0x56, 0x70, 0, 0, 0,  // middle row: 3 4 5 6 7
                    4, 0x99, 1,    0x80, 0,    1};       // top row: 9 9 9 9 8
  const uint8_t rows4[3][5] = {{9, 9, 9, 9, 8}, {3, 4, 5, 6, 7}, {1, 2, 1, 2, 1}};
  ExpectLoads(BuildBmp(rle4), 5, 3, [&](int32_t x, int32_t y) { return palette[rows4[y][x]]; });
}

TEST(BmpReader, RunsReachingOutsideTheImageDoNotHarm) {
  BmpRecipe recipe = Indexed(8, 4, 2, 16);
  recipe.compression = 1;
  recipe.pixelData = {255, 1, 255, 2, 0, 2, 200, 200, 255, 3, 0, 0, 255, 4, 0, 1};
  const std::vector<uint8_t> file = BuildBmp(recipe);
  ImageBuffer image;
  EXPECT_TRUE(ReadBmpImage(file.data(), file.size(), &image));
  EXPECT_EQ(image.width, 4);
}

TEST(BmpReader, TopDownFilesLoadUpright) {
  BmpRecipe rgb;
  rgb.width = 5;
  rgb.height = -3;
  rgb.pixelData = PackRowsTopDown(5, 3, 24, Rgb);
  ExpectLoads(BuildBmp(rgb), 5, 3, Rgb);

  BmpRecipe indexed = Indexed(8, 3, -4, 12);
  indexed.pixelData =
      PackRowsTopDown(3, 4, 8, [](int32_t x, int32_t y) { return uint32_t(x + 3 * y); });
  const std::vector<uint32_t> palette = indexed.palette;
  ExpectLoads(BuildBmp(indexed), 3, 4, [&](int32_t x, int32_t y) { return palette[x + 3 * y]; });
}

TEST(BmpReader, CoreAndLargerHeaders) {
  BmpRecipe core = Indexed(8, 6, 2, 256);
  core.headerSize = 12;
  core.pixelData = PackRows(6, 2, 8, [](int32_t x, int32_t y) { return uint32_t(x * 40 + y); });
  const std::vector<uint32_t> palette = core.palette;
  ExpectLoads(BuildBmp(core), 6, 2, [&](int32_t x, int32_t y) { return palette[x * 40 + y]; });

  BmpRecipe core24;
  core24.headerSize = 12;
  core24.width = 3;
  core24.height = 3;
  core24.pixelData = PackRows(3, 3, 24, Rgb);
  ExpectLoads(BuildBmp(core24), 3, 3, Rgb);

  BmpRecipe v5 = core24;
  v5.headerSize = 124;
  ExpectLoads(BuildBmp(v5), 3, 3, Rgb);
}

TEST(BmpReader, LyingHeadersAreRefusedWithTheTargetUntouched) {
  BmpRecipe recipe = Indexed(8, 5, 3, 16);
  recipe.pixelData = PackRows(5, 3, 8, [](int32_t x, int32_t) { return uint32_t(x); });
  const std::vector<uint8_t> good = BuildBmp(recipe);
  const struct {
    size_t offset;
    uint32_t value;
  } lies[] = {{2, 0},    {10, 0x7FFFFFFF}, {14, 200}, {18, 100000}, {22, 0xFFFFFF00u},
              {46, 300}, {28, 32},         {30, 3}};
  for (const auto& lie : lies) {
    std::vector<uint8_t> file = good;
    Put32(file, lie.offset, lie.value);
    ImageBuffer image;
    const bool loaded = ReadBmpImage(file.data(), file.size(), &image);
    if (lie.offset == 2) {  // the file header's size field is not used
      EXPECT_TRUE(loaded);
    } else {
      EXPECT_FALSE(loaded) << "offset " << lie.offset;
      EXPECT_EQ(image.kind, kImageEmpty);
    }
  }
  const std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
  ImageBuffer image;
  EXPECT_FALSE(ReadBmpImage(truncated.data(), truncated.size(), &image));
  EXPECT_EQ(image.kind, kImageEmpty);
}

TEST(BmpReader, DamagedFilesNeverCrash) {
  BmpRecipe indexed = Indexed(8, 9, 7, 200);
  indexed.pixelData = PackRows(9, 7, 8, [](int32_t x, int32_t y) { return uint32_t(x * y); });
  BmpRecipe rle = Indexed(4, 8, 4, 16);
  rle.compression = 2;
  rle.pixelData = {8, 0x12, 0, 0, 0, 6, 0x34, 0x56, 0x70, 0, 0, 2, 1, 1, 3, 0x44, 0, 1};
  BmpRecipe fields;
  fields.width = 4;
  fields.height = -4;
  fields.bitCount = 16;
  fields.compression = 3;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.pixelData =
      PackRowsTopDown(4, 4, 16, [](int32_t x, int32_t) { return uint32_t(x) << 11; });

  std::mt19937 random(20261206);
  for (const BmpRecipe* recipe : {&indexed, &rle, &fields}) {
    const std::vector<uint8_t> good = BuildBmp(*recipe);
    for (int round = 0; round < 400; ++round) {
      std::vector<uint8_t> file = good;
      const int changes = 1 + random() % 4;
      for (int i = 0; i < changes; ++i) {
        file[random() % std::min<size_t>(file.size(), 80)] = static_cast<uint8_t>(random());
      }
      file.resize(file.size() - random() % 8);
      ImageBuffer image;
      if (ReadBmpImage(file.data(), file.size(), &image)) {
        ASSERT_GT(image.width, 0);
        ASSERT_GT(image.height, 0);
      }
    }
  }
}
