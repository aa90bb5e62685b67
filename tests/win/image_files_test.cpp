#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>

#include "core/bmp_reader.h"
#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/win/message_box_closer.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"

namespace {

constexpr uint32_t kAllCoding = kExportDelta | kExportRle | kExportHuffman;

const struct {
  const char* name;
  std::function<bool(const std::string& path, const ImageBuffer& image)> write;
} kWriters[] = {
    {"bmp", [](const std::string& path,
               const ImageBuffer& image) { return WriteBmpFile(path.c_str(), &image); }},
    {"vqi", [](const std::string& path, const ImageBuffer& image) {
       return EncodeVqi(nullptr, "", &image, path.c_str(), kExportRgb, kAllCoding, 0);
     }}};

HANDLE HoldOpenWithoutSharing(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

// The pixels are those of the bitmap selected into the image's DC, rows bottom-up.
TEST(ImageFiles, TheImageIsADibSectionDrawnBottomUpAndFreedOnce) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 0, 2));
  SetPixel(image.memoryDC, 4, 0, RGB(10, 20, 30));
  GdiFlush();
  EXPECT_EQ(PixelAt(image, 4, 0), 0x0A141Eu);
  EXPECT_EQ(PixelAt(image, 4, 1), 0u);

  HDC dc = image.memoryDC;
  HBITMAP bitmap = image.bitmap;
  FreeImageBuffer(&image);
  FreeImageBuffer(&image);
  EXPECT_EQ(image.kind, kImageEmpty);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  // More than 2^28 pixels is refused before the system is asked for the memory.
  EXPECT_FALSE(CreateImageBuffer(&image, 1 << 14, 24, (1 << 14) + 1));
  EXPECT_EQ(image.kind, kImageEmpty);
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 32, 3));
  EXPECT_EQ(image.kind, kImage32);
}

// A 600-dpi A4 colour page, and a small picture whose rows need padding.
TEST(ImageFiles, WrittenPicturesLoadBackWithTheSamePixels) {
  TempFolder folder;
  for (const SIZE size : {SIZE{4960, 7016}, SIZE{5, 3}}) {
    ImageBuffer page;
    ASSERT_TRUE(CreateImageBuffer(&page, size.cx, 24, size.cy));
    for (int32_t row = 0; row < page.height; ++row) {
      for (int32_t i = 0; i < 3 * page.width; ++i) {
        page.pixels[row * page.stride + i] = static_cast<uint8_t>((i / 3 * 7) ^ (row * 3) ^ i);
      }
    }
    for (const auto& writer : kWriters) {
      SCOPED_TRACE(writer.name);
      const std::string path = folder.Path("page." + std::string(writer.name));
      ASSERT_TRUE(writer.write(path, page));
      ImageBuffer loaded;
      ASSERT_TRUE(LoadImageFile(&loaded, path.c_str()));
      ASSERT_EQ(loaded.width, page.width);
      ASSERT_EQ(loaded.height, page.height);
      for (int32_t row = 0; row < page.height; ++row) {
        ASSERT_EQ(0, std::memcmp(loaded.pixels + row * loaded.stride,
                                 page.pixels + row * page.stride, 3 * page.width))
            << "row " << row;
      }
    }
  }
}

// Whatever goes wrong, a writer leaves no half-written or temporary file, and an existing
// file as it was.
TEST(ImageFiles, AFailedWriteLeavesNoFileAndTheOldOneIntact) {
  TempFolder folder;
  ImageBuffer image, empty;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 4));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  for (const auto& writer : kWriters) {
    SCOPED_TRACE(writer.name);
    const std::string missing = folder.Path("no such folder\\a"), kept = folder.Path("kept");
    EXPECT_FALSE(writer.write(missing, image));
    EXPECT_FALSE(FileExists(missing));
    EXPECT_FALSE(writer.write(folder.Path("empty"), empty));
    EXPECT_FALSE(FileExists(folder.Path("empty")));

    ASSERT_TRUE(WriteBytes(kept, old));
    HANDLE held = HoldOpenWithoutSharing(kept);  // another program has it open
    EXPECT_FALSE(writer.write(kept, image));
    CloseHandle(held);
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(writer.write(kept, image));
    EXPECT_EQ(ReadBytes(kept), old);
    EXPECT_FALSE(FileExists(TemporarySiblingPath(kept.c_str(), 0)));
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL));

    // The longest path the system takes is replaced too, past a temporary name in use.
    const std::string longest =
        folder.Path(std::string(MAX_PATH - 1 - folder.Path("").size(), 'n'));
    const std::string inUse = TemporarySiblingPath(longest.c_str(), 0);
    ASSERT_TRUE(WriteBytes(longest, old) && WriteBytes(inUse, old));
    EXPECT_TRUE(writer.write(longest, image));
    EXPECT_NE(ReadBytes(longest), old);
    EXPECT_EQ(ReadBytes(inUse), old);
    DeleteFileA(inUse.c_str());
  }
}

TEST(ImageFiles, TheContentNotTheNameDecidesWhatLoads) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 2));
  ASSERT_TRUE(kWriters[0].write(folder.Path("bitmap.vqi"), image));
  ASSERT_TRUE(kWriters[0].write(folder.Path("held.bmp"), image));
  ASSERT_TRUE(kWriters[1].write(folder.Path("coded.bmp"), image));
  std::vector<uint8_t> cut = ReadBytes(folder.Path("coded.bmp"));
  cut.resize(30);
  ASSERT_TRUE(WriteBytes(folder.Path("cut.vqi"), cut));
  ASSERT_TRUE(WriteBytes(folder.Path("empty.bmp"), {}));
  ASSERT_TRUE(WriteBytes(folder.Path("text.bmp"), {'h', 'e', 'l', 'l', 'o'}));
  CreateDirectoryA(folder.Path("folder.bmp").c_str(), nullptr);
  HANDLE held = HoldOpenWithoutSharing(folder.Path("held.bmp"));

  const struct {
    const char* name;
    bool loads;
  } files[] = {{"bitmap.vqi", true},  {"coded.bmp", true}, {"cut.vqi", false},
               {"empty.bmp", false},  {"text.bmp", false}, {"missing.bmp", false},
               {"folder.bmp", false}, {"held.bmp", false}};
  for (const auto& file : files) {
    ImageBuffer loaded;
    EXPECT_EQ(LoadImageFile(&loaded, folder.Path(file.name).c_str()), file.loads) << file.name;
    EXPECT_EQ(loaded.kind, file.loads ? kImage24 : kImageEmpty) << file.name;
  }
  CloseHandle(held);
  ImageBuffer loaded;
  EXPECT_TRUE(LoadImageFile(&loaded, folder.Path("held.bmp").c_str()));
  EXPECT_FALSE(LoadImageFile(&image, folder.Path("held.bmp").c_str()));  // never replaces

  // Indexed rows top-down, through the system's conversion, which the system's picture
  // decoder would stand in for were the BMP reader to refuse them.
  const std::vector<uint8_t> topDown =
      BuildBmp({40, 2, -2, 8, 0, 2, {0xFF0000, 0x00FF00}, {}, {0, 1, 0, 0, 1, 0, 0, 0}});
  ImageBuffer upright;
  ASSERT_TRUE(ReadBmpImage(topDown.data(), topDown.size(), &upright));
  EXPECT_EQ(PixelAt(upright, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(upright, 0, 1), 0x00FF00u);
}

TEST(ImageFiles, VqiExportTakesItsAlphaPlaneFromAnImageFile) {
  TempFolder folder;
  ImageBuffer image, alpha;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 2));
  std::memset(image.pixels, 0x80, image.stride * 2);
  ASSERT_TRUE(CreateImageBuffer(&alpha, 4, 24, 2));
  alpha.pixels[0] = 255;  // the first pixel transparent, the rest opaque
  const std::string alphaPath = folder.Path("alpha.bmp"), path = folder.Path("out.vqi");
  ASSERT_TRUE(WriteBmpFile(alphaPath.c_str(), &alpha));
  const uint32_t options = kAllCoding | kAlphaImage << 8;
  ASSERT_TRUE(EncodeVqi(nullptr, alphaPath.c_str(), &image, path.c_str(), kExportRgb, options, 0));
  EXPECT_EQ(ReadBytes(path).at(22), 4);  // planes
  ImageBuffer loaded;
  ASSERT_TRUE(LoadImageFile(&loaded, path.c_str()));
  EXPECT_EQ(loaded.pixels[0], 0);  // laid over black
  EXPECT_EQ(loaded.pixels[3], 0x80);
  ASSERT_TRUE(EncodeVqi(nullptr, "", &image, path.c_str(), kExportRgb, options, 0));
  EXPECT_EQ(ReadBytes(path).at(22), 3);

  MessageBoxCloser boxes;
  const std::string other = folder.Path("other.vqi");
  EXPECT_FALSE(EncodeVqi(nullptr, folder.Path("missing.bmp").c_str(), &image, other.c_str(),
                         kExportRgb, options, 0));
  EXPECT_FALSE(EncodeVqi(nullptr, "", &image, other.c_str(), kExportGrayscale + 1, 7, 0));
  EXPECT_FALSE(FileExists(other));
  EXPECT_EQ(boxes.TakeSeen(),
            (std::vector<std::string>{"エラー: αチャンネル画像を読み込めませんでした．",
                                      "Error!02: 未対応です．"}));
}
