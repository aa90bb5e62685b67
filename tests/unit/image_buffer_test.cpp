#include <gtest/gtest.h>

#include "core/image_buffer.h"
#include "core/image_layout.h"

TEST(ImageBufferLayout, RowsArePaddedToFourBytes) {
  EXPECT_EQ(ImageStride(1, 24), 4);
  EXPECT_EQ(ImageStride(4, 24), 12);
  EXPECT_EQ(ImageStride(5, 24), 16);
  EXPECT_EQ(ImageStride(160, 24), 480);
  EXPECT_EQ(ImageStride(5, 32), 20);
}

TEST(ImageBufferCreate, DefaultDepthIsTwentyFourBits) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 0, 2));
  EXPECT_EQ(image.kind, kImage24);
  EXPECT_EQ(image.bitsPerPixel, 24);
  EXPECT_EQ(image.stride, 16);
  const DibHeader& h = image.info.header;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 32u);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(image.info.colors[0], 0u);
  for (uint32_t i = 0; i < h.biSizeImage; ++i) ASSERT_EQ(image.pixels[i], 0) << i;
}

TEST(ImageBufferCreate, ThirtyTwoBitsHasItsOwnKind) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 7, 32, 3));
  EXPECT_EQ(image.kind, kImage32);
  EXPECT_EQ(image.stride, 28);
  EXPECT_EQ(image.info.header.biBitCount, 32);
}

TEST(ImageBufferCreate, RefusesSizesItCannotHold) {
  const struct {
    int32_t width, bits, height;
  } cases[] = {{0, 24, 1}, {1, 24, 0},         {-3, 24, 2},        {2, 24, -3},
               {1, 16, 1}, {65536, 24, 65536}, {INT32_MAX, 24, 1}, {1 << 15, 24, (1 << 13) + 1}};
  for (const auto& c : cases) {
    ImageBuffer image;
    EXPECT_FALSE(CreateImageBuffer(&image, c.width, c.bits, c.height))
        << c.width << "x" << c.height << "x" << c.bits;
    EXPECT_EQ(image.kind, kImageEmpty);
  }
  EXPECT_TRUE(IsSupportedImageSize(1 << 14, 24, 1 << 14));
}

TEST(ImageBufferFree, SecondFreeOnlyEmptiesAgain) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 3));
  FreeImageBuffer(&image);
  EXPECT_EQ(image.kind, kImageEmpty);
  FreeImageBuffer(&image);  // the sanitizers catch a second release
  EXPECT_EQ(image.kind, kImageEmpty);
  ASSERT_TRUE(CreateImageBuffer(&image, 2, 24, 2));  // reused after freeing
}

TEST(ImageBufferFree, DeleteReleasesImageAndRecord) {
  auto* image = new ImageBuffer;
  ASSERT_TRUE(CreateImageBuffer(image, 4, 24, 4));
  DeleteImageBuffer(image);  // the leak checker catches what is not released
}
