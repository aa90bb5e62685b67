#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "adjust/rotation.h"
#include "tests/unit/straightforward_adjustments.h"

namespace {

// The plain mapping: source (x, y) to row W-1-x, column y (right) or row x, column H-1-y (left).
std::vector<uint8_t> StraightforwardTurn(const ImageBuffer& image, int direction) {
  const int w = image.width, h = image.height;
  const int turnedStride = (h * 3 + 3) & ~3;
  std::vector<uint8_t> turned(static_cast<size_t>(turnedStride) * w, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int row = direction > 0 ? w - 1 - x : x;
      const int column = direction > 0 ? y : h - 1 - y;
      std::memcpy(&turned[static_cast<size_t>(row) * turnedStride + 3 * column],
                  PixelAt(image, x, y), 3);
    }
  }
  return turned;
}

// Pixel bytes only: the padding of a fresh image is zero on both sides anyway.
std::vector<uint8_t> Bytes(const ImageBuffer& image) {
  return {image.pixels, image.pixels + static_cast<size_t>(image.stride) * image.height};
}

void Paint(ImageBuffer* image, int x, int y, uint8_t b, uint8_t g, uint8_t r) {
  uint8_t* p = PixelAt(*image, x, y);
  p[0] = b, p[1] = g, p[2] = r;
}

}  // namespace

TEST(RotateImage, SwapsTheSidesAndPadsTheNewRows) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  ASSERT_EQ(image.stride, 16);
  ImageBuffer* const record = &image;
  RotateImage(&image, kTurnRight);
  EXPECT_EQ(record, &image);
  EXPECT_EQ(image.kind, kImage24);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 5);
  EXPECT_EQ(image.stride, 8);
  EXPECT_EQ(image.info.header.biWidth, 2);
  EXPECT_EQ(image.info.header.biHeight, 5);
  EXPECT_EQ(image.info.header.biSizeImage, 40u);
}

TEST(RotateImage, CornersMoveAsSeenOnTheScreen) {
  // 3 × 2: memory row 1 is the top row on the screen.
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 2));
  Paint(&image, 0, 1, 1, 1, 1);  // top left
  Paint(&image, 0, 0, 2, 2, 2);  // bottom left
  RotateImage(&image, kTurnRight);
  ASSERT_EQ(image.width, 2);
  ASSERT_EQ(image.height, 3);
  EXPECT_EQ(PixelAt(image, 1, 2)[0], 1);  // now top right
  EXPECT_EQ(PixelAt(image, 0, 2)[0], 2);  // now top left

  ImageBuffer left;
  ASSERT_TRUE(CreateImageBuffer(&left, 3, 24, 2));
  Paint(&left, 0, 1, 1, 1, 1);
  RotateImage(&left, kTurnLeft);
  EXPECT_EQ(PixelAt(left, 0, 0)[0], 1);  // top left goes to bottom left
}

TEST(RotateImage, OnePixelStaysAsItIs) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 1, 24, 1));
  Paint(&image, 0, 0, 10, 20, 30);
  RotateImage(&image, kTurnLeft);
  EXPECT_EQ(image.width, 1);
  EXPECT_EQ(image.height, 1);
  EXPECT_EQ(PixelAt(image, 0, 0)[2], 30);
}

TEST(RotateImage, MatchesThePlainMappingOnOddSizes) {
  // Sizes around the copy's block edges, and both directions.
  const int sizes[][2] = {{1, 7}, {7, 1}, {5, 3}, {31, 33}, {32, 32}, {65, 97}, {130, 67}};
  for (const auto& size : sizes) {
    for (int direction : {kTurnLeft, kTurnRight}) {
      ImageBuffer image;
      ASSERT_TRUE(CreateImageBuffer(&image, size[0], 24, size[1]));
      FillRandom(&image, static_cast<uint32_t>(size[0] * 1000 + size[1]));
      // Random padding must not leak into the result.
      const std::vector<uint8_t> expected = StraightforwardTurn(image, direction);
      RotateImage(&image, direction);
      EXPECT_EQ(Bytes(image), expected) << size[0] << "x" << size[1] << " turn " << direction;
    }
  }
}

TEST(RotateImage, LeftThenRightAndFourTurnsGiveThePixelsBack) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 37, 24, 21));
  FillRandom(&image, 7);
  // Clear the padding, which turning does not carry.
  for (int y = 0; y < image.height; ++y) {
    std::memset(PixelAt(image, image.width, y), 0, image.stride - 3 * image.width);
  }
  const std::vector<uint8_t> original = Bytes(image);
  RotateImage(&image, kTurnLeft);
  RotateImage(&image, kTurnRight);
  EXPECT_EQ(Bytes(image), original);
  for (int i = 0; i < 4; ++i) RotateImage(&image, kTurnRight);
  EXPECT_EQ(Bytes(image), original);
  for (int i = 0; i < 4; ++i) RotateImage(&image, kTurnLeft);
  EXPECT_EQ(Bytes(image), original);
}

TEST(RotateImage, LeavesAnEmptyImageAndUnknownDirectionsAlone) {
  ImageBuffer empty;
  RotateImage(&empty, kTurnRight);
  EXPECT_EQ(empty.kind, kImageEmpty);

  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 2));
  RotateImage(&image, 2);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 2);
}
