#include <gtest/gtest.h>
#include <windows.h>

#include "core/image_buffer.h"

TEST(ImageBufferWin, DibSectionIsSelectedIntoItsMemoryDc) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 0, 2));
  ASSERT_NE(image.memoryDC, nullptr);
  EXPECT_EQ(GetCurrentObject(image.memoryDC, OBJ_BITMAP), image.bitmap);
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(image.bitmap, sizeof section, &section), int{sizeof section});
  EXPECT_EQ(section.dsBm.bmBits, image.pixels);
  EXPECT_EQ(section.dsBmih.biWidth, 5);
  EXPECT_EQ(section.dsBmih.biHeight, 2);
  EXPECT_EQ(section.dsBmih.biBitCount, 24);
  EXPECT_EQ(section.dsBm.bmWidthBytes, 16);
  for (int i = 0; i < 32; ++i) ASSERT_EQ(image.pixels[i], 0) << i;
}

TEST(ImageBufferWin, DrawingLandsInTheBottomUpPixelMemory) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  SetPixel(image.memoryDC, 0, 0, RGB(10, 20, 30));  // top left
  SetPixel(image.memoryDC, 4, 1, RGB(40, 50, 60));  // bottom right
  GdiFlush();
  const uint8_t* top = image.pixels + image.stride;
  EXPECT_EQ(top[0], 30);
  EXPECT_EQ(top[1], 20);
  EXPECT_EQ(top[2], 10);
  EXPECT_EQ(image.pixels[12], 60);
  EXPECT_EQ(image.pixels[13], 50);
  EXPECT_EQ(image.pixels[14], 40);
}

TEST(ImageBufferWin, FreeReleasesTheHandlesOnce) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 32, 3));
  EXPECT_EQ(image.kind, kImage32);
  HDC dc = image.memoryDC;
  HBITMAP bitmap = image.bitmap;
  FreeImageBuffer(&image);
  EXPECT_EQ(image.kind, kImageEmpty);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  FreeImageBuffer(&image);
  EXPECT_EQ(image.kind, kImageEmpty);
}
