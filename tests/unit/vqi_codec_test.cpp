#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/image_buffer.h"
#include "tests/unit/vector_code_switch.h"
#include "vqi/colour_models.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The file's bytes, coded in memory with the given threads.
Bytes Encode(const ImageBuffer& image, int mode, uint32_t options,
             const ImageBuffer* alpha = nullptr, int threads = 2) {
  VqiEncoding encoding;
  EXPECT_TRUE(EncodeVqiParts(&image, mode, options, 0x00C80A, alpha, &encoding, threads));
  Bytes file;
  for (size_t i = 0; i < encoding.partCount; ++i) {
    const auto* bytes = static_cast<const uint8_t*>(encoding.parts[i].data);
    file.insert(file.end(), bytes, bytes + encoding.parts[i].size);
  }
  return file;
}

void Decode(const Bytes& file, ImageBuffer* image, int threads = 2) {
  EXPECT_TRUE(ReadVqiImageWithThreads(image, file.data(), file.size(), threads));
}

uint32_t Field32(const Bytes& file, size_t offset) {
  return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
         uint32_t{file[offset + 3]} << 24;
}

uint8_t* Pixel(const ImageBuffer& image, int32_t x, int32_t row) {
  return image.pixels + static_cast<size_t>(row) * image.stride + 3 * x;
}

// Flat stretches in the transparent colour, gradients and noise, so that every stage finds work.
void Sample(ImageBuffer* image, int32_t width, int32_t height, uint32_t seed) {
  ASSERT_TRUE(CreateImageBuffer(image, width, 24, height));
  for (int32_t row = 0; row < height; ++row) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = Pixel(*image, x, row);
      seed = seed * 1103515245u + 12345u;
      const bool flat = (x / 7 + row / 5) % 3 == 0;
      p[0] = flat ? 10 : static_cast<uint8_t>(x * 3 + (seed >> 29));
      p[1] = flat ? 200 : static_cast<uint8_t>(row * 5 + x);
      p[2] = flat ? 0 : static_cast<uint8_t>(seed >> 24);
    }
  }
}

// Every pixel against the colour arithmetic, with the vector loops and without, on one thread
// and two; the alpha image is wider and shorter than the picture, and what it does not cover
// is transparent.
TEST(VqiCodec, EveryModeStageAndAlphaKindRoundTrips) {
  const LumaPixel red = LumaFromRgb(255, 0, 0);
  EXPECT_TRUE(red.y == 79 && red.yR == 254 && red.yB == 79);
  EXPECT_EQ(BlendUnderAlpha(0, 100, 128), (100 * 127) >> 8);
  const int sizes[][2] = {{1, 1}, {2, 2}, {4097, 1}, {1, 4097}, {33, 17}};
  for (const auto& size : sizes) {
    ImageBuffer image, alphaSource;
    Sample(&image, size[0], size[1], size[0] * 31 + size[1]);
    const int32_t alphaWidth = size[0] + 1, alphaHeight = (size[1] + 1) / 2;
    Sample(&alphaSource, alphaWidth, alphaHeight, 99);
    for (int mode : {kExportRgb, kExportLuma, kExportGrayscale}) {
      for (uint32_t stages = 0; stages < 8; ++stages) {
        const VectorCodeSwitch vectorCode(stages < 4);
        for (uint32_t alphaKind : {kAlphaNone, kAlphaTransparentColour, kAlphaImage}) {
          SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " mode " << mode
                                            << " stages " << stages << " alpha " << alphaKind);
          ImageBuffer decoded;
          Decode(Encode(image, mode, stages | alphaKind << 8, &alphaSource, 1 + stages % 2),
                 &decoded, 2 - stages % 2);
          ASSERT_TRUE(decoded.width == size[0] && decoded.height == size[1]);
          for (int32_t row = 0; row < size[1]; ++row) {
            for (int32_t x = 0; x < size[0]; ++x) {
              const uint8_t* in = Pixel(image, x, row);
              const LumaPixel luma = LumaFromRgb(in[2], in[1], in[0]);
              uint8_t colour[3] = {luma.y, luma.y, luma.y};
              if (mode == kExportLuma) RgbFromLuma(luma.y, luma.yR, luma.yB, colour);
              if (mode == kExportRgb) std::copy(in, in + 3, colour);
              uint8_t alpha = 0;
              if (alphaKind == kAlphaTransparentColour) {
                alpha = (in[0] == 10 && in[1] == 200 && in[2] == 0) ? 255 : 0;
              } else if (alphaKind == kAlphaImage && row < alphaHeight) {
                alpha = Pixel(alphaSource, x, row)[0];
              }
              for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(Pixel(decoded, x, row)[c], BlendUnderAlpha(0, colour[c], alpha))
                    << "x " << x << " row " << row << " channel " << c;
              }
            }
          }
        }
      }
    }
  }
}

// A 600-dpi A4 colour page, every plane over 34 MB, one mode per test so that each has its
// own time. Blue is noise that no stage shortens (its run-length stream would be longer than
// the plane) and doubles as an alpha plane; green a noisy gradient that only Huffman coding
// shortens; red a gradient with long runs. Bands of three rows: many band edges.
class FullSizePage : public ::testing::TestWithParam<uint32_t> {};

TEST_P(FullSizePage, RoundTrips) {
  const int mode = static_cast<int>(GetParam() >> 16);
  const uint32_t options = GetParam() & 0xFFFF;
  ImageBuffer page;
  ASSERT_TRUE(CreateImageBuffer(&page, 4960, 24, 7016));
  uint32_t seed = 1;
  for (int32_t row = 0; row < page.height; ++row) {
    uint8_t* p = Pixel(page, 0, row);
    for (int32_t x = 0; x < page.width; ++x, p += 3) {
      seed = seed * 1103515245u + 12345u;
      p[0] = static_cast<uint8_t>(seed >> 24);
      p[1] = static_cast<uint8_t>(x / 20 + (seed >> 13 & 3));
      p[2] = static_cast<uint8_t>(row / 28);
    }
  }
  const Bytes file = Encode(page, mode, options, &page);
  EXPECT_TRUE(Field32(file, 4) == file.size() && file[22] == (mode == kExportGrayscale ? 2 : 3));
  if (mode == kExportRgb) {
    EXPECT_EQ(Field32(file, 28), 1u);  // noise stays as it is
    EXPECT_EQ(Field32(file, 36), 1u | kPlaneHuffman);
    EXPECT_EQ(Field32(file, 44), 1u | kPlaneRle | kPlaneHuffman);
  }
  // Every pixel as the page itself gives it (RGB), or as the same planes stored uncoded do;
  // the small pictures above check those against the colour arithmetic.
  ImageBuffer decoded, expected;
  Decode(file, &decoded);
  if (mode != kExportRgb) Decode(Encode(page, mode, options & ~7u, &page), &expected);
  const ImageBuffer& reference = mode == kExportRgb ? page : expected;
  ASSERT_EQ(decoded.height, page.height);
  const size_t size = static_cast<size_t>(page.stride) * page.height;
  EXPECT_EQ(std::memcmp(decoded.pixels, reference.pixels, size), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, FullSizePage,
                         ::testing::Values(kExportRgb << 16 | 7, kExportLuma << 16 | 7,
                                           kExportGrayscale << 16 | 7 | kAlphaImage << 8));

// Into an image already held, transparent pixels keep what it shows, and a smaller one is
// refused. Damage of every kind is refused, on the caller's thread and with helpers alike,
// leaving a fresh target empty.
TEST(VqiCodec, DrawsIntoAHeldImageAndRefusesDamage) {
  ImageBuffer image, target, small;
  Sample(&image, 40, 30, 3);
  Bytes file = Encode(image, kExportRgb, 7 | kAlphaTransparentColour << 8);
  ASSERT_TRUE(CreateImageBuffer(&target, 41, 24, 30));
  std::fill(target.pixels, target.pixels + target.stride * 30, 0x77);
  ASSERT_TRUE(ReadVqiImage(&target, file.data(), file.size()));
  EXPECT_TRUE(Pixel(target, 0, 0)[2] == 0x77 && Pixel(target, 40, 29)[0] == 0x77);
  EXPECT_EQ(Pixel(target, 39, 29)[0], Pixel(image, 39, 29)[0]);
  ASSERT_TRUE(CreateImageBuffer(&small, 40, 24, 29));
  EXPECT_FALSE(ReadVqiImage(&small, file.data(), file.size()));
  // Mostly black, and a stretch of three colours in no order: every stage shortens.
  for (int k = 0; k < 900; ++k)
    image.pixels[k] = static_cast<uint8_t>((k / 3 * (k / 3) + k / 6) % 3 * 50);
  std::fill(image.pixels + 900, image.pixels + image.stride * 30, 0);
  const Bytes good = Encode(image, kExportRgb, 7);
  ASSERT_EQ(Field32(good, 28), 0x301u);
  auto with = [&good](size_t offset, Bytes bytes) {
    Bytes file = good;
    for (size_t i = 0; i < bytes.size(); ++i) file.at(offset + i) = bytes[i];
    return file;
  };
  Bytes overrun = with(24, {5, 0, 0, 0, 1, 2, 0, 0});  // run longer than the plane
  overrun.erase(overrun.begin() + 48, overrun.begin() + 48 + Field32(good, 24));
  overrun.insert(overrun.begin() + 48, {0xFF, 0x84, 9, 0, 0});
  const Bytes damaged[] = {
      with(0, {'V', 'Q', 'J'}),
      Bytes(good.begin(), good.begin() + 23),
      Bytes(good.begin(), good.end() - 1),
      with(22, {0}),
      with(22, {5}),
      with(12, {0, 0, 1, 0, 0, 0, 1, 0}),        // 65536 × 65536 pixels: 2^32
      with(12, {0, 0x40, 0, 0, 1, 0x40, 0, 0}),  // one row more than 2^28 pixels
      with(24, {0xFF, 0xFF, 0xFF, 0x7F}),        // stored length beyond the file
      with(48 + 8, {0xFF, 0xFF, 0, 0}),          // more symbols than pixels
      with(24, {100, 0, 0, 0, 1, 0, 0, 0}),      // an uncoded plane shorter than the pixels
      overrun};
  VqiLayout layout;
  const Bytes largest = with(12, {0, 0x40, 0, 0, 0, 0x40, 0, 0}), rowMore = damaged[6];
  EXPECT_TRUE(ParseVqiFile(largest.data(), largest.size(), &layout));  // 2^28 pixels are taken
  EXPECT_FALSE(ParseVqiFile(rowMore.data(), rowMore.size(), &layout));
  for (const Bytes& bad : damaged) {
    for (int threads : {1, 4}) {
      ImageBuffer fresh;
      bool noMemory = true;
      EXPECT_FALSE(ReadVqiImageWithThreads(&fresh, bad.data(), bad.size(), threads, &noMemory))
          << &bad - damaged << " threads " << threads;
      EXPECT_TRUE(fresh.kind == kImageEmpty && !noMemory);
    }
  }
}

}  // namespace
