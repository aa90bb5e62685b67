#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "adjust/rotation.h"
#include "tests/unit/straightforward_adjustments.h"
#include "tests/unit/vector_code_switch.h"

namespace {

// The plain mapping: source (x, y) to row W-1-x, column y (right) or row x, column H-1-y (left).
std::vector<uint8_t> StraightforwardTurn(const ImageBuffer& image, int direction) {
  const int w = image.width, h = image.height, turnedStride = (h * 3 + 3) & ~3;
  std::vector<uint8_t> turned(static_cast<size_t>(turnedStride) * w, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int row = direction > 0 ? w - 1 - x : x, column = direction > 0 ? y : h - 1 - y;
      std::memcpy(&turned[static_cast<size_t>(row) * turnedStride + 3 * column],
                  PixelAt(image, x, y), 3);
    }
  }
  return turned;
}

std::vector<uint8_t> Bytes(const ImageBuffer& image) {
  return {image.pixels, image.pixels + static_cast<size_t>(image.stride) * image.height};
}

}  // namespace

TEST(RotateImage, SwapsTheSidesInTheSameRecordAndMovesCornersAsOnScreen) {
  ImageBuffer image;  // 5 × 2: stride 16; memory row 1 is the top row on the screen
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  PixelAt(image, 0, 1)[0] = 1;  // top left
  PixelAt(image, 0, 0)[0] = 2;  // bottom left
  RotateImage(&image, kTurnRight);
  EXPECT_EQ(image.kind, kImage24);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 5);
  EXPECT_EQ(image.stride, 8);
  EXPECT_EQ(image.info.header.biSizeImage, 40u);
  EXPECT_EQ(PixelAt(image, 1, 4)[0], 1);  // now top right
  EXPECT_EQ(PixelAt(image, 0, 4)[0], 2);  // now top left
  RotateImage(&image, kTurnLeft);
  RotateImage(&image, kTurnLeft);
  EXPECT_EQ(PixelAt(image, 0, 0)[0], 1);  // a left turn from the start: top left to bottom left

  ImageBuffer empty;
  RotateImage(&empty, kTurnRight);
  EXPECT_EQ(empty.kind, kImageEmpty);
}

TEST(RotateImage, MatchesThePlainMappingOnOddSizes) {
  // Sizes around the copy's block and tile edges, with random bytes in the padding too; with
  // the vector version and without.
  const int sizes[][2] = {{1, 1},   {1, 7},    {7, 1}, {5, 3},    {31, 33},
                          {65, 97}, {130, 67}, {8, 4}, {9, 1029}, {1041, 5}};
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (const auto& size : sizes) {
      for (int direction : {kTurnLeft, kTurnRight}) {
        ImageBuffer image;
        ASSERT_TRUE(CreateImageBuffer(&image, size[0], 24, size[1]));
        FillRandom(&image, static_cast<uint32_t>(size[0] * 1000 + size[1]));
        const std::vector<uint8_t> expected = StraightforwardTurn(image, direction);
        RotateImage(&image, direction);
        EXPECT_EQ(Bytes(image), expected)
            << size[0] << "x" << size[1] << " turn " << direction << " vector " << vector;
      }
    }
  }
}

TEST(RotateImage, LeftThenRightAndFourTurnsGiveThePixelsBack) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 37, 24, 21));
  FillRandom(&image, 7);
  for (int y = 0; y < image.height; ++y) {  // padding is not carried by a turn
    std::memset(PixelAt(image, image.width, y), 0, image.stride - 3 * image.width);
  }
  const std::vector<uint8_t> original = Bytes(image);
  RotateImage(&image, kTurnLeft);
  RotateImage(&image, kTurnRight);
  EXPECT_EQ(Bytes(image), original);
  for (int i = 0; i < 4; ++i) RotateImage(&image, kTurnRight);
  EXPECT_EQ(Bytes(image), original);
}
