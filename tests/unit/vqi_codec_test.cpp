#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/image_buffer.h"
#include "tests/unit/vector_code_switch.h"
#include "vqi/colour_models.h"
#include "vqi/pixel_compose.h"
#include "vqi/pixel_split.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"

namespace {

// The file's bytes, coded in memory with the given threads.
std::vector<uint8_t> Encode(const ImageBuffer& image, int mode, uint32_t options,
                            const ImageBuffer* alpha = nullptr, int threads = 2) {
  VqiEncoding encoding;
  EXPECT_TRUE(EncodeVqiParts(&image, mode, options, 0x00C80A, alpha, &encoding, threads));
  std::vector<uint8_t> file;
  for (size_t i = 0; i < encoding.partCount; ++i) {
    const auto* bytes = static_cast<const uint8_t*>(encoding.parts[i].data);
    file.insert(file.end(), bytes, bytes + encoding.parts[i].size);
  }
  return file;
}

void Decode(const std::vector<uint8_t>& file, ImageBuffer* image, int threads = 2) {
  EXPECT_TRUE(ReadVqiImageWithThreads(image, file.data(), file.size(), threads));
}

uint32_t Field32(const std::vector<uint8_t>& file, size_t offset) {
  return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
         uint32_t{file[offset + 3]} << 24;
}

uint8_t* Pixel(const ImageBuffer& image, int32_t x, int32_t row) {
  return image.pixels + static_cast<size_t>(row) * image.stride + 3 * x;
}

// Flat stretches, gradients and noise, so that every stage finds work.
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

// The colour a pixel decodes to in a mode, before any alpha.
void DecodedColour(const uint8_t* in, int mode, uint8_t colour[3]) {
  const LumaPixel luma = LumaFromRgb(in[2], in[1], in[0]);
  if (mode == kExportLuma) {
    RgbFromLuma(luma.y, luma.yR, luma.yB, colour);
  } else {
    std::fill(colour, colour + 3, luma.y);
    if (mode == kExportRgb) std::copy(in, in + 3, colour);
  }
}

// Worked colours; then composing and splitting rows, vector loops and plain ones, for every
// input against the formulas.
TEST(ColourModels, RowLoopsAgreeWithTheFormulas) {
  const LumaPixel red = LumaFromRgb(255, 0, 0);
  EXPECT_TRUE(red.y == 79 && red.yR == 254 && red.yB == 79);
  uint8_t bgr[3];
  RgbFromLuma(255, 127, 128, bgr);
  EXPECT_TRUE(bgr[2] == 253 && bgr[1] == 255 && bgr[0] == 255);  // clamped at the top
  EXPECT_EQ(BlendUnderAlpha(0, 100, 128), (100 * 127) >> 8);
  std::vector<uint8_t> y(65536), yR(65536), yB(65536);
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 65536, 24, 1));
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (int level = 0; level < 256; ++level) {
      for (int k = 0; k < 65536; ++k) y[k] = level, yR[k] = k >> 8, yB[k] = k & 0xFF;
      const uint8_t* const planes[kVqiMaxPlanes] = {y.data(), yR.data(), yB.data(), nullptr};
      ComposeRows(VqiPlaneLayout::kLuma, 65536, planes, 0, 1, &image);
      for (int k = 0; k < 65536; ++k) {
        RgbFromLuma(level, yR[k], yB[k], bgr);
        ASSERT_TRUE(std::equal(bgr, bgr + 3, Pixel(image, k, 0))) << vector << " " << k;
      }
      for (int k = 0; k < 65536; ++k) {
        uint8_t* p = Pixel(image, k, 0);
        p[0] = k & 0xFF, p[1] = static_cast<uint8_t>(level), p[2] = k >> 8;
      }
      uint8_t* const out[3] = {y.data(), yR.data(), yB.data()};
      SplitPixels(image, false, out);
      for (int k = 0; k < 65536; ++k) {
        const LumaPixel luma = LumaFromRgb(k >> 8, level, k & 0xFF);
        ASSERT_TRUE(y[k] == luma.y && yR[k] == luma.yR && yB[k] == luma.yB) << vector << " " << k;
      }
    }
  }
}

TEST(VqiCodec, EveryModeStageAndAlphaKindRoundTrips) {
  const int sizes[][2] = {{1, 1}, {2, 2}, {5, 3}, {4097, 1}, {1, 4097}, {33, 17}};
  for (const auto& size : sizes) {
    ImageBuffer image, alphaSource;
    Sample(&image, size[0], size[1], size[0] * 31 + size[1]);
    // An alpha image wider and shorter than the picture: what it does not cover is transparent.
    const int32_t alphaWidth = size[0] + 1, alphaHeight = (size[1] + 1) / 2;
    Sample(&alphaSource, alphaWidth, alphaHeight, 99);
    for (int mode : {kExportRgb, kExportLuma, kExportGrayscale}) {
      for (uint32_t stages = 0; stages < 8; ++stages) {
        for (uint32_t alphaKind : {kAlphaNone, kAlphaTransparentColour, kAlphaImage}) {
          SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " mode " << mode
                                            << " stages " << stages << " alpha " << alphaKind);
          const std::vector<uint8_t> file =
              Encode(image, mode, stages | alphaKind << 8, &alphaSource, 1 + stages % 2);
          ImageBuffer decoded;
          Decode(file, &decoded);
          ASSERT_TRUE(decoded.width == size[0] && decoded.height == size[1]);
          for (int32_t row = 0; row < size[1]; ++row) {
            for (int32_t x = 0; x < size[0]; ++x) {
              const uint8_t* in = Pixel(image, x, row);
              uint8_t colour[3];
              DecodedColour(in, mode, colour);
              uint8_t alpha = 0;
              if (alphaKind == kAlphaTransparentColour) {
                alpha = (in[0] == 10 && in[1] == 200 && in[2] == 0) ? 255 : 0;
              } else if (alphaKind == kAlphaImage && x < alphaWidth && row < alphaHeight) {
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
  const std::vector<uint8_t> file = Encode(page, mode, options, &page);
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

TEST(VqiCodec, HeaderAndStagesKeptOnlyWhereTheyShorten) {
  ImageBuffer sample, tiny, flat, decoded;
  Sample(&sample, 64, 48, 5);
  std::vector<uint8_t> file = Encode(sample, kExportLuma, 7);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "VQI0");
  EXPECT_TRUE(Field32(file, 4) == file.size() && file[20] == kColourModelLuma && file[22] == 3);
  EXPECT_EQ(Encode(sample, kExportGrayscale, 7)[8], 32);  // one plane
  EXPECT_EQ(Encode(sample, kExportRgb, 0x107)[8], 56);    // three planes and alpha
  // Two by two: every stage would lengthen the plane; all zero: Huffman coding needs two values.
  Sample(&tiny, 2, 2, 1);
  file = Encode(tiny, kExportRgb, 7);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(Field32(file, 24 + 8 * i) == 4 && Field32(file, 28 + 8 * i) == 1);
  ASSERT_TRUE(CreateImageBuffer(&flat, 200, 24, 200));
  file = Encode(flat, kExportRgb, kExportDelta | kExportHuffman);
  EXPECT_TRUE(Field32(file, 24) == 40000 && Field32(file, 28) == 1);
  // A constant plane over the longest run: literal (value and first zero delta), run of 32760,
  // literal, run of 7237, end.
  std::fill(flat.pixels, flat.pixels + flat.stride * 200, 0x55);
  file = Encode(flat, kExportGrayscale, kExportDelta | kExportRle);
  EXPECT_EQ(Field32(file, 28), 1u | kPlaneRle);
  EXPECT_EQ(Field32(file, 24), 2 + 2 + 3 + 2 + 1 + 3 + 2u);
  Decode(file, &decoded);
  EXPECT_EQ(Pixel(decoded, 199, 199)[1], LumaFromRgb(0x55, 0x55, 0x55).y);
}

// Into an image already held: transparent pixels keep what it shows; a smaller one is refused.
TEST(VqiCodec, DrawsIntoAHeldImage) {
  ImageBuffer image, target, small;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 3));
  for (int k = 0; k < 12; ++k) {
    uint8_t* p = Pixel(image, k % 4, k / 4);
    p[0] = k ? 10 : 11, p[1] = 200, p[2] = 0;  // the transparent colour but for one pixel
  }
  const std::vector<uint8_t> file = Encode(image, kExportRgb, 7 | kAlphaTransparentColour << 8);
  ASSERT_TRUE(CreateImageBuffer(&target, 4, 24, 3));
  std::fill(target.pixels, target.pixels + target.stride * 3, 0x77);
  ASSERT_TRUE(ReadVqiImage(&target, file.data(), file.size()));
  EXPECT_TRUE(Pixel(target, 3, 2)[2] == 0x77 && Pixel(target, 0, 0)[0] == 11);
  ASSERT_TRUE(CreateImageBuffer(&small, 2, 24, 3));
  EXPECT_FALSE(ReadVqiImage(&small, file.data(), file.size()));
}

TEST(VqiCodec, RefusesEmptyImagesUnknownModesAndUnwritablePaths) {
  ImageBuffer empty, image;
  ASSERT_TRUE(CreateImageBuffer(&image, 2, 24, 2));
  EXPECT_FALSE(EncodeVqiImage(&empty, "/tmp/pelora-empty.vqi", kExportRgb, 7, 0, nullptr));
  EXPECT_FALSE(EncodeVqiImage(&image, "/tmp/pelora-mode.vqi", 3, 7, 0, nullptr));
  EXPECT_FALSE(EncodeVqiImage(&image, "/nonexistent/a.vqi", kExportRgb, 7, 0, nullptr));
  EXPECT_TRUE(access("/tmp/pelora-empty.vqi", F_OK) != 0 && access("/tmp/pelora-mode.vqi", F_OK) != 0);
}

// Damage of every kind is refused, on the caller's thread and with helpers alike, and leaves
// the target empty.
TEST(VqiCodec, RefusesDamagedFiles) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 40, 24, 30));
  // Mostly black, and a stretch of three colours in no order: every stage shortens.
  for (int k = 0; k < 900; ++k)
    image.pixels[k] = static_cast<uint8_t>((k / 3 * (k / 3) + k / 6) % 3 * 50);
  const std::vector<uint8_t> good = Encode(image, kExportRgb, 7);
  ASSERT_EQ(Field32(good, 28), 0x301u);
  auto with = [&good](size_t offset, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> file = good;
    std::copy(bytes.begin(), bytes.end(), file.begin() + offset);
    return file;
  };
  auto cut = [&good](size_t length) {
    return std::vector<uint8_t>(good.begin(), good.begin() + length);
  };
  std::vector<uint8_t> overrun = with(24, {5, 0, 0, 0, 1, 2, 0, 0});  // run longer than the plane
  overrun.erase(overrun.begin() + 48, overrun.begin() + 48 + Field32(good, 24));
  overrun.insert(overrun.begin() + 48, {0xFF, 0x84, 9, 0, 0});
  const std::vector<uint8_t> damaged[] = {
      with(0, {'V', 'Q', 'J'}),
      cut(23),
      cut(40),
      cut(good.size() - 1),
      with(22, {0}),
      with(22, {5}),
      with(12, {0, 0, 0, 0}),
      with(16, {0xFF, 0xFF, 0xFF, 0xFF}),
      with(12, {0, 0, 1, 0, 0, 0, 1, 0}),    // 65536 × 65536 pixels
      with(24, {0xFF, 0xFF, 0xFF, 0x7F}),    // stored length beyond the file
      with(48 + 8, {0xFF, 0xFF, 0, 0}),      // more symbols than pixels
      with(48 + 18, {40, 0}),                // codes beyond 31 bits
      with(48 + 14, {0xFF, 0x7F}),           // table end beyond the plane
      with(24, {100, 0, 0, 0, 1, 0, 0, 0}),  // an uncoded plane shorter than the pixels
      overrun};
  ImageBuffer decoded;
  Decode(good, &decoded);
  EXPECT_EQ(decoded.width, 40);
  // The size limit alone: 2^28 pixels are taken, one row more is not.
  VqiLayout layout;
  std::vector<uint8_t> file = with(12, {0, 0x40, 0, 0, 0, 0x40, 0, 0});
  EXPECT_TRUE(ParseVqiFile(file.data(), file.size(), &layout));
  file = with(12, {0, 0x40, 0, 0, 1, 0x40, 0, 0});
  EXPECT_FALSE(ParseVqiFile(file.data(), file.size(), &layout));
  for (const auto& file : damaged) {
    for (int threads : {1, 4}) {
      ImageBuffer target;
      EXPECT_FALSE(ReadVqiImageWithThreads(&target, file.data(), file.size(), threads))
          << &file - damaged << " threads " << threads;
      EXPECT_EQ(target.kind, kImageEmpty);
    }
  }
}

}  // namespace
