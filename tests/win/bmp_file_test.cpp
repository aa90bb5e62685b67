#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/win/temp_folder.h"

namespace {

void FillRandomly(ImageBuffer* image, unsigned seed) {
  std::mt19937 random(seed);
  for (int32_t i = 0; i < image->stride * image->height; ++i) {
    image->pixels[i] = static_cast<uint8_t>(random());
  }
}

void ExpectSamePixels(const ImageBuffer& a, const ImageBuffer& b) {
  ASSERT_EQ(a.width, b.width);
  ASSERT_EQ(a.height, b.height);
  for (int32_t row = 0; row < a.height; ++row) {
    ASSERT_EQ(0, memcmp(a.pixels + row * a.stride, b.pixels + row * b.stride, 3 * a.width))
        << "row " << row;
  }
}

HANDLE HoldOpenWithoutSharing(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

TEST(BmpFile, WrittenThenLoadedGivesTheSamePixels) {
  TempFolder folder;
  for (int32_t width : {1, 5, 8, 13}) {
    ImageBuffer written;
    ASSERT_TRUE(CreateImageBuffer(&written, width, 24, 6));
    FillRandomly(&written, width);
    const std::string path = folder.Path("round " + std::to_string(width) + ".bmp");
    ASSERT_TRUE(WriteBmpFile(path.c_str(), &written));
    EXPECT_EQ(ReadBytes(path).size(), 54u + written.stride * 6);

    ImageBuffer loaded;
    ASSERT_TRUE(LoadImageFile(&loaded, path.c_str()));
    ExpectSamePixels(written, loaded);
  }
}

TEST(BmpFile, TheNameDoesNotDecideTheFormat) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 2));
  const std::string path = folder.Path("actually a bitmap.vqi");
  ASSERT_TRUE(WriteBmpFile(path.c_str(), &image));
  ImageBuffer loaded;
  EXPECT_TRUE(LoadImageFile(&loaded, path.c_str()));
  EXPECT_EQ(loaded.width, 3);
}

TEST(BmpFile, WhatCannotBeReadIsNotLoaded) {
  TempFolder folder;
  ASSERT_TRUE(WriteBytes(folder.Path("empty.bmp"), {}));
  ASSERT_TRUE(WriteBytes(folder.Path("text.bmp"), {'h', 'e', 'l', 'l', 'o'}));
  BmpRecipe recipe;
  recipe.width = 2;
  recipe.height = 2;
  recipe.pixelData = PackRows(2, 2, 24, [](int32_t, int32_t) { return 0xFFFFFFu; });
  ASSERT_TRUE(WriteBytes(folder.Path("held.bmp"), BuildBmp(recipe)));
  CreateDirectoryA(folder.Path("folder.bmp").c_str(), nullptr);

  HANDLE held = HoldOpenWithoutSharing(folder.Path("held.bmp"));
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const char* name : {"empty.bmp", "text.bmp", "missing.bmp", "folder.bmp", "held.bmp"}) {
    ImageBuffer image;
    EXPECT_FALSE(LoadImageFile(&image, folder.Path(name).c_str())) << name;
    EXPECT_EQ(image.kind, kImageEmpty) << name;
  }
  CloseHandle(held);
  ImageBuffer image;
  EXPECT_TRUE(LoadImageFile(&image, folder.Path("held.bmp").c_str()));
}

TEST(BmpFile, AFailedWriteLeavesNoFile) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 4));
  const std::string inMissingFolder = folder.Path("no such folder\\a.bmp");
  EXPECT_FALSE(WriteBmpFile(inMissingFolder.c_str(), &image));
  EXPECT_FALSE(FileExists(inMissingFolder));

  ImageBuffer empty;
  EXPECT_FALSE(WriteBmpFile(folder.Path("empty.bmp").c_str(), &empty));
  EXPECT_FALSE(FileExists(folder.Path("empty.bmp")));
}

TEST(BmpFile, APathAsLongAsTheSystemTakesIsWritten) {
  TempFolder folder;
  const std::string inFolder = folder.Path("");
  const std::string path = inFolder + std::string(MAX_PATH - 1 - inFolder.size() - 4, 'n') + ".bmp";
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 4));
  EXPECT_TRUE(WriteBmpFile(path.c_str(), &image));
  EXPECT_EQ(ReadBytes(path).size(), 54u + 12 * 4);
}

TEST(BmpFile, AnExistingFileSurvivesAFailedReplace) {
  TempFolder folder;
  const std::string path = folder.Path("keep.bmp");
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  ASSERT_TRUE(WriteBytes(path, old));
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 4));

  HANDLE held = HoldOpenWithoutSharing(path);  // another program has it open
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteBmpFile(path.c_str(), &image));
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_FALSE(FileExists(TemporarySiblingPath(path.c_str(), 0)));

  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(WriteBmpFile(path.c_str(), &image));
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_FALSE(FileExists(TemporarySiblingPath(path.c_str(), 0)));

  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(WriteBmpFile(path.c_str(), &image));
  EXPECT_EQ(ReadBytes(path).size(), 54u + 12 * 4);
}
