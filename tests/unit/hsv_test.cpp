#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/hsv.h"
#include "tests/unit/straightforward_adjustments.h"
#include "tests/unit/vector_code_switch.h"

namespace {

using Rgb = std::array<int, 3>;

// One pixel through AdjustHsv with the dialog's numbers (hue in degrees, percentages).
Rgb Adjusted(Rgb rgb, int hue, int saturation, int value) {
  ImageBuffer image;
  EXPECT_TRUE(CreateImageBuffer(&image, 1, 24, 1));
  for (int i = 0; i < 3; ++i) image.pixels[i] = static_cast<uint8_t>(rgb[2 - i]);
  const HsvParameters p = ScaleHsvNumbers(hue, saturation, value);
  AdjustHsv(&image, p.hueShift, p.saturationScale, p.valueScale);
  return {image.pixels[2], image.pixels[1], image.pixels[0]};
}

// With the vector version and without.
void ExpectSameAsPlain(const ImageBuffer& image, HsvParameters p) {
  const size_t size = static_cast<size_t>(image.stride) * image.height;
  std::vector<uint8_t> expected(image.pixels, image.pixels + size);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      StraightforwardHsvPixel(&expected[static_cast<size_t>(y) * image.stride + 3 * x], p.hueShift,
                              p.saturationScale, p.valueScale);
    }
  }
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    ImageBuffer copy;
    ASSERT_TRUE(CreateImageBuffer(&copy, image.width, 24, image.height));
    std::memcpy(copy.pixels, image.pixels, size);
    AdjustHsv(&copy, p.hueShift, p.saturationScale, p.valueScale);
    ASSERT_EQ(std::vector<uint8_t>(copy.pixels, copy.pixels + size), expected) << vector;
  }
}

}  // namespace

TEST(AdjustHsv, WorkedExamples) {
  const struct {
    Rgb in;
    int hue, saturation, value;
    Rgb out;
  } cases[] = {
      {{50, 100, 200}, 0, 100, 100, {50, 100, 200}},    // neutral numbers
      {{50, 100, 200}, 360, 100, 100, {50, 100, 200}},  // a full turn
      {{255, 0, 0}, 120, 100, 100, {0, 255, 0}},        // red to green
      {{255, 0, 0}, -240, 100, 100, {0, 255, 0}},       // the other way round
      {{255, 0, 0}, 120 + 360000, 100, 100, {0, 255, 0}},
      {{50, 100, 200}, 0, 0, 100, {200, 200, 200}},  // grey of the largest component
      {{255, 0, 0}, 0, 0, 100, {255, 255, 255}},
      {{30, 20, 10}, 0, 100, 50, {15, 10, 5}},
      {{100, 50, 0}, 0, 100, 65535, {255, 127, 0}},    // value stops at the top
      {{200, 100, 100}, 0, 65535, 100, {200, 0, 0}},   // saturation stops at full
      {{77, 77, 77}, 45, 200, 100, {77, 77, 77}},      // grey stays grey
      {{50, 100, 200}, 0, -50, 100, {200, 200, 200}},  // negative counts as 0
      {{50, 100, 200}, 0, 100, -50, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Adjusted(c.in, c.hue, c.saturation, c.value), c.out)
        << c.hue << " " << c.saturation << " " << c.value;
  }
}

TEST(AdjustHsv, LeavesTheRowPaddingAndEmptyImagesAlone) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  std::memset(image.pixels, 0x40, static_cast<size_t>(image.stride) * image.height);
  AdjustHsv(&image, 0, 0, 512);
  EXPECT_EQ(image.pixels[0], 0x20);
  EXPECT_EQ(image.pixels[15], 0x40);
  EXPECT_EQ(image.pixels[31], 0x40);
  ImageBuffer empty;
  AdjustHsv(&empty, 100, 100, 100);
  EXPECT_EQ(empty.kind, kImageEmpty);
}

TEST(AdjustHsv, EqualsThePlainArithmeticForEveryQuotient) {
  // The colours with R >= G >= B form every pair (d, max) and (max - G, d) that the fast loop
  // turns into a quotient; the other orders reuse the same quotients.
  std::vector<uint8_t> colours;
  for (int r = 0; r < 256; ++r) {
    for (int g = 0; g <= r; ++g) {
      for (int b = 0; b <= g; ++b)
        colours.insert(colours.end(), {uint8_t(b), uint8_t(g), uint8_t(r)});
    }
  }
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, static_cast<int>(colours.size() / 3), 24, 1));
  std::memcpy(image.pixels, colours.data(), colours.size());
  ExpectSameAsPlain(image, ScaleHsvNumbers(37, 150, 90));
}

TEST(AdjustHsv, EqualsThePlainArithmeticOnRandomImages) {
  const int numbers[][3] = {{120, 100, 100}, {-240, 0, 100}, {240, 200, 200},
                            {17, 65535, 1},  {-1, 3, 65535}, {-2097151, 99, 101}};
  uint32_t seed = 1;
  for (const auto& n : numbers) {
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, 97, 24, 61));
    FillRandom(&image, seed++);
    ExpectSameAsPlain(image, ScaleHsvNumbers(n[0], n[1], n[2]));
  }
}
