#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "core/system_picture.h"
#include "shell/settings.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"

namespace {

// The pictures that tests/fixtures/make-pictures puts beside the test program.
std::string PicturePath(const std::string& name) {
  char program[MAX_PATH];
  const std::string path(program, GetModuleFileNameA(nullptr, program, sizeof program));
  return path.substr(0, path.rfind('\\') + 1) + "pictures\\" + name;
}

// Lossy formats come within a few steps of the colour drawn.
bool Near(uint32_t actual, uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int(actual >> shift & 0xFF) - int(expected >> shift & 0xFF)) > 8) return false;
  }
  return true;
}

}  // namespace

// At a 96-dpi display each picture loads at its pixel size, upright, with transparent areas
// black, whatever its name; what the system cannot decode is refused.
TEST(SystemPicture, PicturesLoadUprightAtTheirPixelSize) {
  char settings[kSettingsPathSize];  // the loader reads the plug-in section: there is none
  ASSERT_TRUE(GetSettingsPath(settings));
  DeleteFileA(settings);
  TempFolder folder;
  const struct {
    const char* picture;
    const char* name;
    int32_t width, height;
    uint32_t topLeft, topRight, bottomLeft;
  } pictures[] = {{"baseline.jpg", "photo.bmp", 100, 50, 0xFF0000, 0x0000FF, 0x00FF00},
                  {"progressive.jpg", "photo", 100, 50, 0xFF0000, 0x0000FF, 0x00FF00},
                  {"transparent.gif", "picture.vqi", 40, 30, 0x00FF00, 0, 0},
                  {"transparent.ico", "icon.ico", 32, 32, 0x0000FF, 0, 0}};
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.picture);
    const std::string path = folder.Path(p.name);
    ASSERT_TRUE(CopyFileA(PicturePath(p.picture).c_str(), path.c_str(), FALSE));
    ImageBuffer image;
    ASSERT_TRUE(LoadImageFile(&image, path.c_str()));
    ASSERT_EQ(image.width, p.width);
    ASSERT_EQ(image.height, p.height);
    EXPECT_TRUE(Near(PixelAt(image, 3, 3), p.topLeft)) << std::hex << PixelAt(image, 3, 3);
    EXPECT_TRUE(Near(PixelAt(image, p.width - 4, 3), p.topRight));
    EXPECT_TRUE(Near(PixelAt(image, 3, p.height - 4), p.bottomLeft));
  }

  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  // Bit fields without a mask bit pass the BMP checks, but the system's conversion, which its
  // picture loader shares, refuses them.
  BmpRecipe masks{40, 4, 2, 32, 3, 0, {}, {0, 0, 0}, std::vector<uint8_t>(32, 0x56)};
  const std::vector<std::vector<uint8_t>> files = {
      {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'},
      std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20),  // a JPEG cut inside its header
      std::vector<uint8_t>(4096, 0xFF),
      BuildBmp(masks)};
  for (size_t i = 0; i < files.size(); ++i) {
    ASSERT_TRUE(WriteBytes(folder.Path("bad.jpg"), files[i]));
    ImageBuffer image;
    EXPECT_FALSE(LoadImageFile(&image, folder.Path("bad.jpg").c_str())) << "file " << i;
    EXPECT_EQ(image.kind, kImageEmpty) << "file " << i;
  }

  // The block the bytes came in stays the caller's after the picture is read.
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, jpeg.size());
  std::copy(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block));
  ImageBuffer image;
  ASSERT_TRUE(ReadSystemPicture(static_cast<uint8_t*>(block), &image, jpeg.size()));
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block)));
  EXPECT_EQ(GlobalFree(block), nullptr);
}
