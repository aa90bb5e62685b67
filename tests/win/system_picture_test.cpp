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

// The loader reads the plug-in section of the settings file: these tests run without one.
class SystemPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSettingsPath(settings_));
    DeleteFileA(settings_);
  }

  char settings_[kSettingsPathSize];
  TempFolder folder_;
};

}  // namespace

// At a 96-dpi display, each at its pixel size, upright, transparent areas black; under any
// name.
TEST_F(SystemPicture, PicturesLoadUprightAtTheirPixelSize) {
  const struct {
    const char* picture;
    const char* name;
    int32_t width, height;
    uint32_t topLeft, topRight, bottomLeft;
  } pictures[] = {
      {"baseline.jpg", "photo.bmp", 100, 50, 0xFF0000, 0x0000FF, 0x00FF00},
      {"progressive.jpg", "photo", 100, 50, 0xFF0000, 0x0000FF, 0x00FF00},
      {"transparent.gif", "picture.vqi", 40, 30, 0x00FF00, 0, 0},
      {"transparent.ico", "icon.ico", 32, 32, 0x0000FF, 0, 0},
      {"opaque.ico", "icon.jpg", 32, 32, 0x0000FF, 0x0000FF, 0x0000FF}};
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.picture);
    const std::string path = folder_.Path(p.name);
    ASSERT_TRUE(CopyFileA(PicturePath(p.picture).c_str(), path.c_str(), FALSE));
    ImageBuffer image;
    ASSERT_TRUE(LoadImageFile(&image, path.c_str()));
    ASSERT_EQ(image.width, p.width);
    ASSERT_EQ(image.height, p.height);
    const int32_t right = p.width - 4, bottom = p.height - 4;
    EXPECT_TRUE(Near(PixelAt(image, 3, 3), p.topLeft)) << std::hex << PixelAt(image, 3, 3);
    EXPECT_TRUE(Near(PixelAt(image, right, 3), p.topRight)) << std::hex << PixelAt(image, right, 3);
    EXPECT_TRUE(Near(PixelAt(image, 3, bottom), p.bottomLeft)) << std::hex << PixelAt(image, 3, bottom);
  }
}

TEST_F(SystemPicture, BytesTheSystemCannotDecodeAreRefused) {
  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  ASSERT_FALSE(jpeg.empty());
  // Bit fields without a mask bit pass the BMP checks, but the system's conversion, which its
  // picture loader shares, refuses them.
  BmpRecipe masks{40, 4, 2, 32, 3, 0, {}, {0, 0, 0}, std::vector<uint8_t>(32, 0x56)};
  const std::vector<std::vector<uint8_t>> files = {
      {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'},
      std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20),  // a JPEG cut inside its header
      std::vector<uint8_t>(4096, 0xFF), BuildBmp(masks)};
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = folder_.Path("bad.jpg");
    ASSERT_TRUE(WriteBytes(path, files[i]));
    ImageBuffer image;
    EXPECT_FALSE(LoadImageFile(&image, path.c_str())) << "file " << i;
  }

  // The block the bytes came in stays the caller's after the picture is read.
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, jpeg.size());
  std::copy(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block));
  ImageBuffer image;
  ASSERT_TRUE(ReadSystemPicture(static_cast<uint8_t*>(block), &image, jpeg.size()));
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block)));
  EXPECT_EQ(GlobalFree(block), nullptr);
}
