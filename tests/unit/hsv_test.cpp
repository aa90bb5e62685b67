#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/hsv.h"
#include "tests/unit/straightforward_adjustments.h"

namespace {

using Rgb = std::array<int, 3>;

// One pixel through AdjustHsv with the dialog's numbers (hue in degrees, percentages).
Rgb Adjusted(Rgb rgb, int hue, int saturation, int value) {
  ImageBuffer image;
  EXPECT_TRUE(CreateImageBuffer(&image, 1, 24, 1));
  image.pixels[0] = static_cast<uint8_t>(rgb[2]);
  image.pixels[1] = static_cast<uint8_t>(rgb[1]);
  image.pixels[2] = static_cast<uint8_t>(rgb[0]);
  const HsvParameters p = ScaleHsvNumbers(hue, saturation, value);
  AdjustHsv(&image, p.hueShift, p.saturationScale, p.valueScale);
  return {image.pixels[2], image.pixels[1], image.pixels[0]};
}

const Rgb kRed = {255, 0, 0};

}  // namespace

TEST(AdjustHsv, NeutralNumbersAndFullTurnsChangeNothing) {
  const Rgb colours[] = {{50, 100, 200}, {255, 0, 0}, {1, 2, 3}, {200, 200, 10}, {0, 0, 0}};
  for (const Rgb& c : colours) {
    EXPECT_EQ(Adjusted(c, 0, 100, 100), c);
    EXPECT_EQ(Adjusted(c, 360, 100, 100), c);
    EXPECT_EQ(Adjusted(c, -720, 100, 100), c);
  }
}

TEST(AdjustHsv, HueTurnsColoursAroundTheCircleBothWays) {
  EXPECT_EQ(Adjusted(kRed, 120, 100, 100), (Rgb{0, 255, 0}));
  EXPECT_EQ(Adjusted(kRed, 240, 100, 100), (Rgb{0, 0, 255}));
  EXPECT_EQ(Adjusted(kRed, -240, 100, 100), (Rgb{0, 255, 0}));
  EXPECT_EQ(Adjusted(kRed, 120 + 360 * 1000, 100, 100), (Rgb{0, 255, 0}));
  EXPECT_EQ(Adjusted(kRed, 60, 100, 100), (Rgb{255, 255, 0}));
}

TEST(AdjustHsv, SaturationZeroGivesTheGreyOfTheLargestComponent) {
  EXPECT_EQ(Adjusted({50, 100, 200}, 0, 0, 100), (Rgb{200, 200, 200}));
  EXPECT_EQ(Adjusted(kRed, 0, 0, 100), (Rgb{255, 255, 255}));
}

TEST(AdjustHsv, ValueScalesAndStopsAtTheTop) {
  EXPECT_EQ(Adjusted({30, 20, 10}, 0, 100, 50), (Rgb{15, 10, 5}));
  EXPECT_EQ(Adjusted({100, 50, 0}, 0, 100, 1000)[0], 255);
  EXPECT_EQ(Adjusted({100, 50, 0}, 0, 100, 65535)[0], 255);
}

TEST(AdjustHsv, SaturationAboveHundredSaturatesFullyAndNoFurther) {
  EXPECT_EQ(Adjusted({200, 100, 100}, 0, 200, 100), (Rgb{200, 0, 0}));
  EXPECT_EQ(Adjusted({200, 100, 100}, 0, 65535, 100), (Rgb{200, 0, 0}));
}

TEST(AdjustHsv, GreyStaysGrey) {
  for (int hue : {0, 45, -240, 500}) {
    for (int saturation : {0, 100, 200, 65535}) {
      EXPECT_EQ(Adjusted({77, 77, 77}, hue, saturation, 100), (Rgb{77, 77, 77}));
    }
  }
}

TEST(AdjustHsv, NegativeScalesCountAsZero) {
  EXPECT_EQ(Adjusted({50, 100, 200}, 0, -50, 100), (Rgb{200, 200, 200}));
  EXPECT_EQ(Adjusted({50, 100, 200}, 0, 100, -50), (Rgb{0, 0, 0}));
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 1, 24, 1));
  image.pixels[2] = 200;
  AdjustHsv(&image, 0, INT32_MIN, INT32_MIN);
  EXPECT_EQ(image.pixels[2], 0);
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
      for (int b = 0; b <= g; ++b) {
        colours.insert(colours.end(), {uint8_t(b), uint8_t(g), uint8_t(r)});
      }
    }
  }
  const int count = static_cast<int>(colours.size() / 3);
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, count, 24, 1));
  std::memcpy(image.pixels, colours.data(), colours.size());
  const HsvParameters p = ScaleHsvNumbers(37, 150, 90);
  AdjustHsv(&image, p.hueShift, p.saturationScale, p.valueScale);
  for (int i = 0; i < count; ++i) {
    uint8_t* expected = &colours[3 * static_cast<size_t>(i)];
    StraightforwardHsvPixel(expected, p.hueShift, p.saturationScale, p.valueScale);
    ASSERT_EQ(std::memcmp(image.pixels + 3 * static_cast<size_t>(i), expected, 3), 0) << i;
  }
}

TEST(AdjustHsv, EqualsThePlainArithmeticOnRandomImages) {
  const int numbers[][3] = {{0, 100, 100},  {120, 100, 100}, {-240, 0, 100},   {240, 200, 200},
                            {17, 65535, 1}, {-1, 3, 65535},  {100000, 55, 45}, {-2097151, 99, 101}};
  uint32_t seed = 1;
  for (const auto& n : numbers) {
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, 97, 24, 61));
    FillRandom(&image, seed++);
    std::vector<uint8_t> expected(image.pixels,
                                  image.pixels + static_cast<size_t>(image.stride) * image.height);
    const HsvParameters p = ScaleHsvNumbers(n[0], n[1], n[2]);
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        StraightforwardHsvPixel(&expected[static_cast<size_t>(y) * image.stride + 3 * x],
                                p.hueShift, p.saturationScale, p.valueScale);
      }
    }
    AdjustHsv(&image, p.hueShift, p.saturationScale, p.valueScale);
    EXPECT_EQ(std::vector<uint8_t>(image.pixels, image.pixels + expected.size()), expected)
        << n[0] << " " << n[1] << " " << n[2];
  }
}
