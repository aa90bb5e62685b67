#include <gtest/gtest.h>

#include "core/bmp_decoder.h"
#include "core/bmp_format.h"
#include "core/image_buffer.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

const std::vector<uint32_t> kPalette = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};

uint32_t Parity(int32_t x, int32_t y) { return static_cast<uint32_t>(x + y) % 2; }

// Up to four palette entries (two for one bit), and 5-6-5 masks for bit fields.
BmpRecipe Recipe(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0) {
  BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.bitCount = bits;
  recipe.compression = compression;
  if (bits <= 8) recipe.palette.assign(kPalette.begin(), kPalette.begin() + (bits == 1 ? 2 : 4));
  recipe.colorsUsed = static_cast<uint32_t>(recipe.palette.size());
  if (compression == kBiBitfields) recipe.masks = {0xF800, 0x07E0, 0x001F};
  recipe.pixelData = height < 0 ? PackRowsTopDown(width, -height, bits, Parity)
                                : PackRows(width, height, bits, Parity);
  return recipe;
}

bool Parses(const std::vector<uint8_t>& file, BmpLayout* layout) {
  return ParseBmpFile(file.data(), file.size(), layout);
}

// Every header kind comes out as a 40-byte header with its colours as quads; run-length data
// is measured to its end mark without leaving the file.
TEST(BmpParse, NormalisesEveryHeaderKind) {
  BmpLayout layout;
  const DibHeader& h = layout.info.header;
  std::vector<uint8_t> file = BuildBmp(Recipe(5, 3, 8));
  file[14 + 24] = 0x23, file[14 + 25] = 0x2E;  // 11811 pixels per metre across, 300 dpi
  file[14 + 28] = 0x00, file[14 + 29] = 0x5C;  // 23552 down
  ASSERT_TRUE(Parses(file, &layout));
  EXPECT_TRUE(h.biSize == 40 && h.biWidth == 5 && h.biHeight == 3 && h.biSizeImage == 24);
  EXPECT_TRUE(h.biXPelsPerMeter == 11811 && h.biYPelsPerMeter == 23552);
  // The whole table, entries past the file's own black.
  EXPECT_TRUE(h.biClrUsed == 256 && layout.info.colors[3] == 0x0000FF &&
              layout.info.colors[4] == 0);
  BmpRecipe core = Recipe(3, 2, 1);  // the core header's triples
  core.headerSize = 12;
  ASSERT_TRUE(Parses(BuildBmp(core), &layout));
  EXPECT_TRUE(h.biSize == 40 && h.biClrUsed == 2 && layout.info.colors[1] == 0xFF0000);
  ASSERT_TRUE(Parses(BuildBmp(Recipe(2, -2, 16, kBiBitfields)), &layout));
  EXPECT_TRUE(layout.info.colors[2] == 0x001F && h.biHeight == -2);
  const std::vector<uint8_t> fields = BuildBmp(Recipe(2, 2, 16, kBiBitfields));
  ASSERT_TRUE(ParsePackedDib(fields.data() + 14, fields.size() - 14, &layout));  // as pasted
  EXPECT_EQ(layout.pixelOffset, 52u);  // the pixels follow the masks
  const struct {
    uint16_t bits;
    std::vector<uint8_t> data;
    uint32_t measured;  // 0: refused
  } streams[] = {
      {8, {5, 1, 0, 2, 1, 0, 0, 3, 1, 2, 1, 0, 0, 0, 0, 1, 0xEE}, 16},  // junk after the end
      {4, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}, 8},  // five nibbles take three bytes and a pad
      {4, {0, 5, 0x12, 0x34, 0x50, 0, 1}, 0},     // the pad missing: the mark is misread
      {8, {5, 1, 0, 0}, 0},                       // no end-of-bitmap mark
      {8, {0, 5, 1, 2, 3}, 0}};                   // literal pixels cut off
  for (const auto& s : streams) {
    // The four-bit streams fill a bitmap of a single row.
    BmpRecipe rle = s.bits == 8 ? Recipe(5, 2, 8, kBiRle8) : Recipe(5, 1, 4, kBiRle4);
    rle.pixelData = s.data;
    EXPECT_EQ(Parses(BuildBmp(rle), &layout), s.measured != 0) << &s - streams;
    EXPECT_TRUE(s.measured == 0 || h.biSizeImage == s.measured) << &s - streams;
  }
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
  BmpLayout layout;
  for (const auto& lie : lies) {
    std::vector<uint8_t> file = good;
    lie.offset == 28 ? Put16(file, lie.offset, lie.value) : Put32(file, lie.offset, lie.value);
    EXPECT_FALSE(Parses(file, &layout)) << "offset " << lie.offset << " value " << lie.value;
  }
  std::vector<uint8_t> fullTable(good.begin(), good.begin() + 14 + 40 + 4);
  Put32(fullTable, 46, 0);  // 256 entries, beyond the file
  EXPECT_FALSE(Parses(fullTable, &layout) || Parses({good.begin(), good.end() - 1}, &layout));
}

// Every depth the decoder reads, bottom-up and top-down, in a checkerboard of the values 0
// and 1: palette entries, 5-bit blue, or blue itself.
TEST(BmpDecode, EveryDepthAndRowOrder) {
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    for (int32_t height : {3, -3}) {
      const std::vector<uint8_t> file = BuildBmp(Recipe(11, height, bits));
      ImageBuffer image, refused;
      ASSERT_TRUE(DecodeBmpImage(file.data(), file.size(), &image)) << bits << " " << height;
      ASSERT_TRUE(image.bitsPerPixel == 24 && image.width == 11 && image.height == 3);
      for (int32_t k = 0; k < 33; ++k) {
        const uint8_t* p = image.pixels + (2 - k / 11) * image.stride + 3 * (k % 11);
        const uint32_t value = Parity(k % 11, k / 11);
        EXPECT_EQ(uint32_t{p[2]} << 16 | p[1] << 8 | p[0], bits <= 8    ? kPalette[value]
                                                           : bits == 16 ? value * 8
                                                                        : value)
            << bits << " " << height << " at " << k;
      }
      EXPECT_FALSE(DecodeBmpImage(file.data(), file.size() - 1, &refused));
      EXPECT_EQ(refused.kind, kImageEmpty);
    }
  }
}

// Run-length data: runs, literal pixels (padded), ends of lines and moves; pixels past the
// right edge dropped, the rest black where no code reaches. Stored top-down it is refused.
TEST(BmpDecode, RunLengthCodes) {
  const struct {
    uint32_t compression;
    int32_t width, height;
    std::vector<uint8_t> data;
    std::vector<int> indices;  // bottom row first; -1 black
  } cases[] = {
      {kBiRle8,
       5,
       3,
       {3, 1, 0, 3, 2, 3, 0, 0, 0, 0, 0, 2, 2, 1, 1, 2, 0, 1},
       {1, 1, 1, 2, 3, -1, -1, -1, -1, -1, -1, -1, 2, -1, -1}},
      {kBiRle4,
       5,
       2,
       {5, 0x12, 0, 0, 0, 5, 0x31, 0x23, 0x10, 0, 0, 1},
       {1, 2, 1, 2, 1, 3, 1, 2, 3, 1}},
  };
  for (const auto& c : cases) {
    BmpRecipe recipe = Recipe(c.width, c.height, c.compression == kBiRle8 ? 8 : 4, c.compression);
    recipe.pixelData = c.data;
    const std::vector<uint8_t> file = BuildBmp(recipe);
    ImageBuffer image;
    ASSERT_TRUE(DecodeBmpImage(file.data(), file.size(), &image)) << c.compression;
    for (size_t k = 0; k < c.indices.size(); ++k) {
      const uint8_t* p = image.pixels + k / c.width * image.stride + 3 * (k % c.width);
      EXPECT_EQ(uint32_t{p[2]} << 16 | p[1] << 8 | p[0],
                c.indices[k] < 0 ? 0u : kPalette[c.indices[k]])
          << c.compression << " at " << k;
    }
    recipe.height = -c.height;
    const std::vector<uint8_t> topDown = BuildBmp(recipe);
    ImageBuffer refused;
    EXPECT_FALSE(DecodeBmpImage(topDown.data(), topDown.size(), &refused));
  }
}

}  // namespace
