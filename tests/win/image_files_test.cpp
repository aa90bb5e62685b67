#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "core/system_picture.h"
#include "shell/settings.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"

namespace {

const struct {
  const char* name;
  std::function<bool(const std::string& path, const ImageBuffer& image)> write;
} kWriters[] = {
    {"bmp", [](const std::string& path,
               const ImageBuffer& image) { return WriteBmpFile(path.c_str(), &image); }},
    {"vqi", [](const std::string& path, const ImageBuffer& image) {
       return EncodeVqi(nullptr, "", &image, path.c_str(), kExportRgb,
                        kExportDelta | kExportRle | kExportHuffman, 0);
     }}};

HANDLE HoldOpenWithoutSharing(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// The pictures that tests/fixtures/make-pictures puts beside the test program.
std::string PicturePath(const std::string& name) {
  char program[MAX_PATH];
  const std::string path(program, GetModuleFileNameA(nullptr, program, sizeof program));
  return path.substr(0, path.rfind('\\') + 1) + "pictures\\" + name;
}

// The loader reads the plug-in section of the settings file: there is none.
void ForgetSettings() {
  char settings[kSettingsPathSize];
  ASSERT_TRUE(GetSettingsPath(settings));
  DeleteFileA(settings);
}

}  // namespace

TEST(ImageFiles, TheImageIsADibSectionFreedOnce) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 0, 2));
  EXPECT_EQ(image.kind, kImage24);
  const HDC dc = image.memoryDC;
  const HBITMAP bitmap = image.bitmap;
  FreeImageBuffer(&image);
  FreeImageBuffer(&image);
  EXPECT_EQ(image.kind, kImageEmpty);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
}

// A 600-dpi A4 colour page, and a small picture whose rows need padding.
TEST(ImageFiles, WrittenPicturesLoadBackWithTheSamePixels) {
  ForgetSettings();
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

// The content decides what loads; the name and whether the file can be read decide what the
// viewer lists as pictures.
TEST(ImageFiles, TheContentDecidesWhatLoadsAndTheNameWhatIsListed) {
  ForgetSettings();
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 2));
  for (const char* name : {"bitmap.vqi", "bitmap.txt", "held.bmp"}) {
    ASSERT_TRUE(kWriters[0].write(folder.Path(name), image));
  }
  ASSERT_TRUE(kWriters[1].write(folder.Path("coded.bmp"), image));
  const std::vector<uint8_t> coded = ReadBytes(folder.Path("coded.bmp"));
  ASSERT_TRUE(WriteBytes(folder.Path("cut.vqi"), {coded.begin(), coded.begin() + 30}));
  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  ASSERT_TRUE(WriteBytes(folder.Path("cut.jpg"), {jpeg.begin(), jpeg.begin() + 20}));
  // Bit fields without a mask bit pass the BMP checks, but the system's conversion, which its
  // picture decoder shares, refuses them.
  ASSERT_TRUE(WriteBytes(folder.Path("masks.bmp"),
                         BuildBmp({40, 4, 2, 32, 3, 0, {}, {0, 0, 0}, std::vector<uint8_t>(32)})));
  ASSERT_TRUE(WriteBytes(folder.Path("text.bmp"), {'h', 'e', 'l', 'l', 'o'}));
  ASSERT_TRUE(WriteBytes(folder.Path("empty.bmp"), {}));
  CreateDirectoryA(folder.Path("folder.bmp").c_str(), nullptr);
  HANDLE held = HoldOpenWithoutSharing(folder.Path("held.bmp"));

  const struct {
    const char* name;
    bool loads, listed;
  } files[] = {
      {"bitmap.vqi", true, true},   {"coded.bmp", true, true},   {"bitmap.txt", true, false},
      {"cut.vqi", false, true},     {"cut.jpg", false, true},    {"masks.bmp", false, true},
      {"text.bmp", false, true},    {"empty.bmp", false, false}, {"missing.bmp", false, false},
      {"folder.bmp", false, false}, {"held.bmp", false, false}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    ImageBuffer loaded;
    EXPECT_EQ(LoadImageFile(&loaded, folder.Path(file.name).c_str()), file.loads);
    EXPECT_EQ(loaded.kind, file.loads ? kImage24 : kImageEmpty);
    EXPECT_EQ(IsLoadableImageFile(folder.Path(file.name).c_str()), file.listed);
  }
  CloseHandle(held);
  ImageBuffer loaded;
  EXPECT_TRUE(LoadImageFile(&loaded, folder.Path("held.bmp").c_str()));
  EXPECT_FALSE(LoadImageFile(&image, folder.Path("held.bmp").c_str()));  // never replaces
}

// At a 96-dpi display a picture the system decodes loads at its pixel size, upright, with
// transparent areas black, whatever its name.
TEST(ImageFiles, SystemPicturesLoadUprightAtTheirPixelSize) {
  ForgetSettings();
  TempFolder folder;
  const struct {
    const char *picture, *name;
    int32_t width, height;
    uint32_t topLeft, topRight, bottomLeft;
  } pictures[] = {{"baseline.jpg", "photo.bmp", 100, 50, 0xFF0000, 0x0000FF, 0x00FF00},
                  {"transparent.gif", "picture.vqi", 40, 30, 0x00FF00, 0, 0}};
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.picture);
    ASSERT_TRUE(CopyFileA(PicturePath(p.picture).c_str(), folder.Path(p.name).c_str(), FALSE));
    ImageBuffer image;
    ASSERT_TRUE(LoadImageFile(&image, folder.Path(p.name).c_str()));
    ASSERT_EQ(image.width, p.width);
    ASSERT_EQ(image.height, p.height);
    const POINT corners[] = {{3, 3}, {p.width - 4, 3}, {3, p.height - 4}};
    const uint32_t colours[] = {p.topLeft, p.topRight, p.bottomLeft};
    for (int i = 0; i < 3; ++i) {
      const uint32_t seen = PixelAt(image, corners[i].x, corners[i].y);
      for (int shift : {0, 8, 16}) {  // lossy: within a few steps of the colour drawn
        EXPECT_NEAR(seen >> shift & 0xFF, colours[i] >> shift & 0xFF, 8) << "corner " << i;
      }
    }
  }

  // The block the bytes came in stays the caller's after the picture is read.
  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, jpeg.size());
  std::copy(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block));
  ImageBuffer image;
  ASSERT_TRUE(ReadSystemPicture(static_cast<uint8_t*>(block), &image, jpeg.size()));
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block)));
  EXPECT_EQ(GlobalFree(block), nullptr);
}
