#include <gtest/gtest.h>

#include "core/image_buffer.h"
#include "core/image_layout.h"

namespace {

// Rows padded to four bytes and cleared; freeing twice only empties again. 2^28 pixels are
// taken, and not one row more.
TEST(ImageBuffer, DescribesItsRowsAndRefusesSizesItCannotHold) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 0, 2));  // 24 bits when no depth is given
  const DibHeader& h = image.info.header;
  EXPECT_TRUE(image.kind == kImage24 && image.stride == 16 && h.biSize == 40 && h.biWidth == 5);
  EXPECT_TRUE(h.biHeight == 2 && h.biPlanes == 1 && h.biBitCount == 24 && h.biSizeImage == 32);
  for (uint32_t i = 0; i < h.biSizeImage; ++i) ASSERT_EQ(image.pixels[i], 0) << i;
  FreeImageBuffer(&image);
  FreeImageBuffer(&image);
  EXPECT_TRUE(IsSupportedImageSize(1 << 14, 24, 1 << 14));
  const int32_t refused[][3] = {{0, 24, 1},         {2, 24, -3},
                                {1, 16, 1},         {65536, 24, 65536},
                                {INT32_MAX, 24, 1}, {1 << 14, 24, (1 << 14) + 1}};
  for (const auto& c : refused) {
    ImageBuffer none;
    EXPECT_FALSE(CreateImageBuffer(&none, c[0], c[1], c[2])) << c[0] << "x" << c[2] << "x" << c[1];
    EXPECT_EQ(none.kind, kImageEmpty);
  }
}

}  // namespace
