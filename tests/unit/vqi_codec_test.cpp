#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/image_buffer.h"
#include "vqi/colour_models.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/pixel_compose.h"
#include "vqi/pixel_split.h"
#include "vqi/vqi_file.h"
#include "tests/unit/vector_code_switch.h"

namespace {

class VqiCodec : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pelora-vqi-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/image.vqi";
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

  std::vector<uint8_t> Encode(const ImageBuffer& image, int mode, uint32_t options,
                              uint32_t colour = 0, const ImageBuffer* alpha = nullptr) {
    EXPECT_TRUE(EncodeVqiImage(&image, path_.c_str(), mode, options, colour, alpha));
    std::ifstream in(path_, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> file(static_cast<size_t>(in.tellg()));
    in.seekg(0).read(reinterpret_cast<char*>(file.data()),
                     static_cast<std::streamsize>(file.size()));
    return file;
  }

  std::string folder_;
  std::string path_;
};

// Pixels with flat stretches, gradients and noise, so that every stage finds work.
void FillSample(ImageBuffer* image, uint32_t seed) {
  for (int32_t row = 0; row < image->height; ++row) {
    for (int32_t x = 0; x < image->width; ++x) {
      uint8_t* p = image->pixels + row * image->stride + 3 * x;
      seed = seed * 1103515245u + 12345u;
      const bool flat = (x / 7 + row / 5) % 3 == 0;
      p[0] = flat ? 10 : static_cast<uint8_t>(x * 3 + (seed >> 29));
      p[1] = flat ? 200 : static_cast<uint8_t>(row * 5 + x);
      p[2] = flat ? 0 : static_cast<uint8_t>(seed >> 24);
    }
  }
}

const uint8_t* Pixel(const ImageBuffer& image, int32_t x, int32_t row) {
  return image.pixels + row * image.stride + 3 * x;
}

// The colour that a pixel of the image decodes to in a mode, before any alpha.
void DecodedColour(const uint8_t* in, int mode, uint8_t colour[3]) {
  const LumaPixel luma = LumaFromRgb(in[2], in[1], in[0]);
  if (mode == kExportLuma) {
    RgbFromLuma(luma.y, luma.yR, luma.yB, colour);
  } else if (mode == kExportGrayscale) {
    colour[0] = colour[1] = colour[2] = luma.y;
  } else {
    std::copy(in, in + 3, colour);
  }
}

uint32_t Field32(const std::vector<uint8_t>& file, size_t offset) {
  return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
         uint32_t{file[offset + 3]} << 24;
}

TEST(ColourModels, LumaOfTheWorkedColours) {
  auto check = [](int r, int g, int b, int y, int yR, int yB) {
    const LumaPixel luma = LumaFromRgb(r, g, b);
    EXPECT_EQ(luma.y, y);
    EXPECT_EQ(luma.yR, yR);
    EXPECT_EQ(luma.yB, yB);
  };
  check(0, 0, 0, 0, 127, 128);
  check(255, 0, 0, 79, 254, 79);
  check(0, 0, 255, 47, 94, 255);
  auto inverse = [](int y, int yR, int yB, int r, int g, int b) {
    uint8_t bgr[3];
    RgbFromLuma(y, yR, yB, bgr);
    EXPECT_EQ(bgr[2], r);
    EXPECT_EQ(bgr[1], g);
    EXPECT_EQ(bgr[0], b);
  };
  inverse(0, 127, 128, 0, 1, 0);
  inverse(79, 254, 79, 254, 0, 0);
  inverse(255, 127, 128, 253, 255, 255);
  EXPECT_EQ(BlendUnderAlpha(200, 100, 0), 100);
  EXPECT_EQ(BlendUnderAlpha(200, 100, 255), 200);
  EXPECT_EQ(BlendUnderAlpha(0, 100, 128), (100 * 127) >> 8);
}

TEST(ColourModels, TableDecoderAgreesWithTheFormulasEverywhere) {
  const LumaDecoder decoder;
  for (int y = 0; y < 256; ++y) {
    for (int yR = 0; yR < 256; ++yR) {
      for (int yB = 0; yB < 256; ++yB) {
        uint8_t formula[3];
        uint8_t table[3];
        RgbFromLuma(y, yR, yB, formula);
        decoder.Decode(y, yR, yB, table);
        ASSERT_TRUE(formula[0] == table[0] && formula[1] == table[1] && formula[2] == table[2])
            << y << " " << yR << " " << yB;
      }
    }
  }
}

// The vector loops against the formulas: every pair of colour differences under the lowest,
// middle and highest lumas, and every red and blue under a range of greens.
TEST(ColourModels, VectorLoopsAgreeWithTheFormulas) {
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    std::vector<uint8_t> y(65536), yR(65536), yB(65536);
    for (int k = 0; k < 65536; ++k) {
      yR[k] = static_cast<uint8_t>(k >> 8);
      yB[k] = static_cast<uint8_t>(k);
    }
    ImageBuffer target;
    ASSERT_TRUE(CreateImageBuffer(&target, 65536, 24, 1));
    for (int luma : {0, 1, 2, 100, 127, 128, 129, 200, 253, 254, 255}) {
      std::fill(y.begin(), y.end(), static_cast<uint8_t>(luma));
      const uint8_t* const planes[kVqiMaxPlanes] = {y.data(), yR.data(), yB.data(), nullptr};
      ComposeRows(VqiPlaneLayout::kLuma, 65536, planes, 0, 1, &target);
      for (int k = 0; k < 65536; ++k) {
        uint8_t bgr[3];
        RgbFromLuma(luma, yR[k], yB[k], bgr);
        ASSERT_TRUE(std::equal(bgr, bgr + 3, target.pixels + 3 * k)) << vector << " " << k;
      }
    }
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, 65536, 24, 1));
    for (int green = 0; green < 256; green += 17) {
      for (int k = 0; k < 65536; ++k) {
        uint8_t* p = image.pixels + 3 * k;
        p[0] = static_cast<uint8_t>(k);
        p[1] = static_cast<uint8_t>(green);
        p[2] = static_cast<uint8_t>(k >> 8);
      }
      uint8_t* const out[3] = {y.data(), yR.data(), yB.data()};
      SplitPixels(image, false, out);
      for (int k = 0; k < 65536; ++k) {
        const LumaPixel luma = LumaFromRgb(k >> 8, green, k & 0xFF);
        ASSERT_TRUE(y[k] == luma.y && yR[k] == luma.yR && yB[k] == luma.yB) << vector << " " << k;
      }
    }
  }
}

TEST_F(VqiCodec, EveryModeStageAndAlphaKindRoundTrips) {
  const int sizes[][2] = {{1, 1}, {2, 2}, {5, 3}, {4097, 1}, {1, 4097}, {33, 17}};
  for (const auto& size : sizes) {
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, size[0], 24, size[1]));
    FillSample(&image, size[0] * 31 + size[1]);
    ImageBuffer alphaSource;
    ASSERT_TRUE(CreateImageBuffer(&alphaSource, size[0], 24, size[1]));
    FillSample(&alphaSource, 99);
    for (int mode : {kExportRgb, kExportLuma, kExportGrayscale}) {
      for (uint32_t stages = 0; stages < 8; ++stages) {
        for (uint32_t alphaKind : {kAlphaNone, kAlphaTransparentColour, kAlphaImage}) {
          SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " mode " << mode
                                            << " stages " << stages << " alpha " << alphaKind);
          const std::vector<uint8_t> file =
              Encode(image, mode, stages | alphaKind << 8, 0x00C80A, &alphaSource);
          EXPECT_EQ(Field32(file, 4), file.size());
          ImageBuffer decoded;
          ASSERT_TRUE(ReadVqiImage(&decoded, file.data(), file.size()));
          ASSERT_EQ(decoded.width, size[0]);
          ASSERT_EQ(decoded.height, size[1]);
          for (int32_t row = 0; row < size[1]; ++row) {
            for (int32_t x = 0; x < size[0]; ++x) {
              const uint8_t* in = Pixel(image, x, row);
              uint8_t colour[3];
              DecodedColour(in, mode, colour);
              uint8_t alpha = 0;
              if (alphaKind == kAlphaTransparentColour) {
                alpha = (in[0] == 10 && in[1] == 200 && in[2] == 0) ? 255 : 0;
              } else if (alphaKind == kAlphaImage) {
                alpha = Pixel(alphaSource, x, row)[0];
              }
              const uint8_t* out = Pixel(decoded, x, row);
              for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(out[c], BlendUnderAlpha(0, colour[c], alpha))
                    << "x " << x << " row " << row << " channel " << c;
              }
            }
          }
        }
      }
    }
  }
}

// A scanned page of 600 dpi: planes of over 17 MB whose run-length streams come out longer
// than the plane (more than 16.7 MB of bytes without runs). Blue is noise that no stage
// shortens; green a noisy gradient that only Huffman coding shortens after delta coding.
TEST_F(VqiCodec, FullSizeNoisyPagesInEveryMode) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4960, 24, 3600));
  uint32_t seed = 1;
  for (int32_t row = 0; row < image.height; ++row) {
    uint8_t* p = image.pixels + static_cast<size_t>(row) * image.stride;
    for (int32_t x = 0; x < image.width; ++x, p += 3) {
      seed = seed * 1103515245u + 12345u;
      p[0] = static_cast<uint8_t>(seed >> 24);
      p[1] = static_cast<uint8_t>(x / 20 + (seed >> 13 & 3));
      p[2] = static_cast<uint8_t>(row / 15 + (seed >> 16 & 7));
    }
  }
  // Every pixel as the same planes stored uncoded give it.
  for (int mode : {kExportRgb, kExportLuma, kExportGrayscale}) {
    const std::vector<uint8_t> file = Encode(image, mode, 7);
    if (mode == kExportRgb) {
      EXPECT_EQ(Field32(file, 28), 1u);
      EXPECT_EQ(Field32(file, 36), 1u | kPlaneHuffman);
    }
    const std::vector<uint8_t> plain = Encode(image, mode, 0);
    ImageBuffer decoded;
    ASSERT_TRUE(ReadVqiImage(&decoded, file.data(), file.size())) << mode;
    ImageBuffer expected;
    ASSERT_TRUE(ReadVqiImage(&expected, plain.data(), plain.size())) << mode;
    const size_t size = static_cast<size_t>(image.stride) * image.height;
    EXPECT_TRUE(std::equal(expected.pixels, expected.pixels + size, decoded.pixels)) << mode;
  }
}

// The vector loops and the threads against the plain loops on the caller's thread alone:
// widths around the vector steps, in every mode, with and without alpha, each coding stage.
TEST_F(VqiCodec, VectorLoopsAndThreadsGiveTheSameBytes) {
  const int sizes[][2] = {{1, 1}, {15, 2}, {16, 3}, {17, 5}, {33, 17}, {4097, 3}};
  for (const auto& size : sizes) {
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, size[0], 24, size[1]));
    FillSample(&image, size[0] + size[1]);
    for (int mode : {kExportRgb, kExportLuma, kExportGrayscale}) {
      for (uint32_t options : {7u, 1u, 0x102u}) {
        SCOPED_TRACE(::testing::Message()
                     << size[0] << "x" << size[1] << " mode " << mode << " options " << options);
        std::vector<uint8_t> files[2];
        std::vector<uint8_t> pixels[2];
        for (int fast = 0; fast < 2; ++fast) {
          const VectorCodeSwitch vectorCode(fast == 1);
          VqiEncoding encoding;
          ASSERT_TRUE(EncodeVqiParts(&image, mode, options, 0x00C80A, nullptr, &encoding,
                                     fast == 1 ? 4 : 1));
          for (size_t i = 0; i < encoding.partCount; ++i) {
            const auto* bytes = static_cast<const uint8_t*>(encoding.parts[i].data);
            files[fast].insert(files[fast].end(), bytes, bytes + encoding.parts[i].size);
          }
          ImageBuffer decoded;
          ASSERT_TRUE(ReadVqiImageWithThreads(&decoded, files[0].data(), files[0].size(),
                                              fast == 1 ? 4 : 1));
          pixels[fast].assign(decoded.pixels, decoded.pixels + decoded.stride * decoded.height);
        }
        EXPECT_EQ(files[1], files[0]);
        EXPECT_EQ(pixels[1], pixels[0]);
      }
    }
  }
}

TEST_F(VqiCodec, DefaultExportWritesThreeLumaPlanes) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 64, 24, 48));
  FillSample(&image, 5);
  const std::vector<uint8_t> file = Encode(image, kExportLuma, 7);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "VQI0");
  EXPECT_EQ(file[20], kColourModelLuma);
  EXPECT_EQ(file[22], 3);
  EXPECT_EQ(file[8], 48);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Field32(file, 24 + 8 * i + 4) & 0xFF, 1u);
}

TEST_F(VqiCodec, DataOffsetFollowsThePlaneCount) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 3));
  EXPECT_EQ(Encode(image, kExportGrayscale, 7)[8], 32);
  EXPECT_EQ(Encode(image, kExportGrayscale, 7 | kAlphaTransparentColour << 8)[8], 40);
  EXPECT_EQ(Encode(image, kExportRgb, 7)[8], 48);
  EXPECT_EQ(Encode(image, kExportRgb, 7 | kAlphaTransparentColour << 8)[8], 56);
}

TEST_F(VqiCodec, StagesAreKeptOnlyWhereTheyShorten) {
  ImageBuffer tiny;
  ASSERT_TRUE(CreateImageBuffer(&tiny, 2, 24, 2));
  FillSample(&tiny, 1);
  std::vector<uint8_t> file = Encode(tiny, kExportRgb, 7);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Field32(file, 24 + 8 * i), 4u);
    EXPECT_EQ(Field32(file, 24 + 8 * i + 4), 1u);
  }
  // An all-zero plane has one value: Huffman coding fails and the plane stays as it is.
  ImageBuffer black;
  ASSERT_TRUE(CreateImageBuffer(&black, 100, 24, 10));
  file = Encode(black, kExportRgb, kExportDelta | kExportHuffman);
  EXPECT_EQ(Field32(file, 24), 1000u);
  EXPECT_EQ(Field32(file, 28), 1u);
  // A constant plane over 32 760 bytes: delta and run-length coding, runs of at most 32 760.
  ImageBuffer flat;
  ASSERT_TRUE(CreateImageBuffer(&flat, 200, 24, 200));
  std::fill(flat.pixels, flat.pixels + flat.stride * 200, 0x55);
  file = Encode(flat, kExportGrayscale, kExportDelta | kExportRle);
  EXPECT_EQ(Field32(file, 28), 1u | kPlaneRle);
  // Literal (the value and its first zero delta), run of 32760, literal, run of 7237, end.
  EXPECT_EQ(Field32(file, 24), 2 + 2 + 3 + 2 + 1 + 3 + 2u);
  ImageBuffer decoded;
  ASSERT_TRUE(ReadVqiImage(&decoded, file.data(), file.size()));
  EXPECT_EQ(Pixel(decoded, 199, 199)[1], LumaFromRgb(0x55, 0x55, 0x55).y);
}

TEST_F(VqiCodec, DecodingIntoAHeldImageBlendsAndKeepsThePadding) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 2));
  std::fill(image.pixels, image.pixels + image.stride * 2, 0);
  const std::vector<uint8_t> file = Encode(image, kExportRgb, 7 | kAlphaTransparentColour << 8);
  ImageBuffer target;
  ASSERT_TRUE(CreateImageBuffer(&target, 3, 24, 2));
  std::fill(target.pixels, target.pixels + target.stride * 2, 0x77);
  ASSERT_TRUE(ReadVqiImage(&target, file.data(), file.size()));
  EXPECT_EQ(Pixel(target, 2, 1)[0], 0x77);            // fully transparent: kept
  EXPECT_EQ(target.pixels[target.stride - 1], 0x77);  // row padding untouched
  ImageBuffer small;
  ASSERT_TRUE(CreateImageBuffer(&small, 2, 24, 2));
  EXPECT_FALSE(ReadVqiImage(&small, file.data(), file.size()));
}

TEST_F(VqiCodec, AlphaImageOfAnotherSizeLeavesTheRestOpaque) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 3));
  std::fill(image.pixels, image.pixels + image.stride * 3, 100);
  ImageBuffer alpha;
  ASSERT_TRUE(CreateImageBuffer(&alpha, 2, 24, 5));
  std::fill(alpha.pixels, alpha.pixels + alpha.stride * 5, 255);
  const std::vector<uint8_t> file = Encode(image, kExportRgb, 7 | kAlphaImage << 8, 0, &alpha);
  ImageBuffer decoded;
  ASSERT_TRUE(ReadVqiImage(&decoded, file.data(), file.size()));
  EXPECT_EQ(Pixel(decoded, 1, 2)[0], 0);    // under the alpha image: transparent over black
  EXPECT_EQ(Pixel(decoded, 2, 2)[0], 100);  // beyond it: opaque
}

TEST_F(VqiCodec, RefusesEmptyImagesUnknownModesAndUnwritablePaths) {
  ImageBuffer empty;
  EXPECT_FALSE(EncodeVqiImage(&empty, path_.c_str(), kExportRgb, 7, 0, nullptr));
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 2, 24, 2));
  EXPECT_FALSE(EncodeVqiImage(&image, path_.c_str(), 3, 7, 0, nullptr));
  EXPECT_NE(access(path_.c_str(), F_OK), 0);
  const std::string missingFolder = folder_ + "/missing/image.vqi";
  EXPECT_FALSE(EncodeVqiImage(&image, missingFolder.c_str(), kExportRgb, 7, 0, nullptr));
}

// Damage of every kind is refused and leaves the target empty.
class DamagedVqi : public VqiCodec {
 protected:
  void SetUp() override {
    VqiCodec::SetUp();
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, 40, 24, 30));
    // Mostly black, and a stretch of three colours in no order: every stage shortens.
    for (int k = 0; k < 300; ++k) {
      for (int c = 0; c < 3; ++c)
        image.pixels[3 * k + c] = static_cast<uint8_t>((k * k + k / 2) % 3 * 50);
    }
    good_ = Encode(image, kExportRgb, 7);
    ASSERT_EQ(Field32(good_, 28), 0x301u);  // the first plane uses every stage
  }

  // On the caller's thread and with helpers alike.
  static bool Refused(const std::vector<uint8_t>& file) {
    bool refused = true;
    for (int threads : {1, 4}) {
      ImageBuffer target;
      const bool read = ReadVqiImageWithThreads(&target, file.data(), file.size(), threads);
      EXPECT_EQ(target.kind == kImageEmpty, !read);
      refused = refused && !read;
    }
    return refused;
  }

  std::vector<uint8_t> With(size_t offset, std::vector<uint8_t> bytes) const {
    std::vector<uint8_t> file = good_;
    for (size_t i = 0; i < bytes.size(); ++i) file[offset + i] = bytes[i];
    return file;
  }

  std::vector<uint8_t> good_;
};

TEST_F(DamagedVqi, HeaderAndPlaneTable) {
  EXPECT_FALSE(Refused(good_));
  EXPECT_TRUE(Refused(With(0, {'V', 'Q', 'J'})));
  EXPECT_TRUE(Refused(std::vector<uint8_t>(good_.begin(), good_.begin() + 23)));
  EXPECT_TRUE(Refused(std::vector<uint8_t>(good_.begin(), good_.begin() + 40)));  // table cut
  EXPECT_TRUE(Refused(std::vector<uint8_t>(good_.begin(), good_.end() - 1)));     // plane cut
  EXPECT_TRUE(Refused(With(22, {0})));
  EXPECT_TRUE(Refused(With(22, {5})));
  EXPECT_TRUE(Refused(With(12, {0, 0, 0, 0})));
  EXPECT_TRUE(Refused(With(16, {0xFF, 0xFF, 0xFF, 0xFF})));
  EXPECT_TRUE(Refused(With(12, {0, 0, 1, 0, 0, 0, 1, 0})));  // 65536 × 65536 pixels
  EXPECT_TRUE(Refused(With(24, {0xFF, 0xFF, 0xFF, 0x7F})));  // stored length beyond the file
}

TEST_F(DamagedVqi, PlaneContents) {
  const size_t plane0 = 48;
  EXPECT_TRUE(Refused(With(plane0 + 8, {0xFF, 0xFF, 0, 0})));  // more symbols than pixels
  EXPECT_TRUE(Refused(With(plane0 + 18, {40, 0})));            // codes beyond 31 bits
  EXPECT_TRUE(Refused(With(plane0 + 14, {0xFF, 0x7F})));       // table end beyond the plane
  // The run-length stream overruns the pixels: the Huffman stage off, a run too long.
  std::vector<uint8_t> file = With(24, {5, 0, 0, 0, 1, 2, 0, 0});
  file.erase(file.begin() + plane0, file.begin() + plane0 + Field32(good_, 24));
  file.insert(file.begin() + plane0, {0xFF, 0x80 + 0x04, 9, 0, 0});
  EXPECT_TRUE(Refused(file));
  // An uncoded plane shorter than the pixels.
  file = With(24, {100, 0, 0, 0, 1, 0, 0, 0});
  EXPECT_TRUE(Refused(file));
}

}  // namespace
