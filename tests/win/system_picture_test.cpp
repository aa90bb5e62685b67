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
#include "tests/win/temp_folder.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kBlack = 0x000000;

// The pictures that tests/fixtures/make-pictures puts beside the test program.
std::string PicturePath(const std::string& name) {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  const std::string path = program;
  return path.substr(0, path.rfind('\\') + 1) + "pictures\\" + name;
}

uint32_t PixelAt(const ImageBuffer& image, int32_t x, int32_t y) {
  const uint8_t* p = image.pixels + (image.height - 1 - y) * image.stride + 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// Lossy formats come within a few steps of the colour drawn.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int(actual >> shift & 0xFF) - int(expected >> shift & 0xFF)) > 8) {
      return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
  }
  return ::testing::AssertionSuccess();
}

// The file's bytes in a global-memory block, as the loader lends them to its readers.
class GlobalBlock {
 public:
  explicit GlobalBlock(const std::vector<uint8_t>& bytes)
      : size_(bytes.size()), handle_(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes.size())) {
    if (handle_ != nullptr) CopyMemory(handle_, bytes.data(), bytes.size());
  }
  ~GlobalBlock() {
    if (handle_ != nullptr) GlobalFree(handle_);
  }
  const uint8_t* bytes() const { return static_cast<const uint8_t*>(handle_); }
  size_t size() const { return size_; }
  // Frees the block now; true when it was still allocated.
  bool Free() {
    const bool freed = GlobalFree(handle_) == nullptr;
    handle_ = nullptr;
    return freed;
  }

 private:
  size_t size_;
  HGLOBAL handle_;
};

// The loader reads the plug-in section of the settings file: these tests run without one.
class SystemPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSettingsPath(settings_));
    DeleteFileA(settings_);
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    dpi_ = GetDeviceCaps(display, LOGPIXELSX);
    DeleteDC(display);
  }

  // Loads one of the made pictures, under another name when given.
  bool Load(const std::string& picture, ImageBuffer* image, const std::string& name = "") {
    const std::string path = folder_.Path(name.empty() ? picture : name);
    EXPECT_TRUE(CopyFileA(PicturePath(picture).c_str(), path.c_str(), FALSE)) << picture;
    return LoadImageFile(image, path.c_str());
  }

  char settings_[kSettingsPathSize];
  int dpi_ = 0;
  TempFolder folder_;
};

}  // namespace

TEST_F(SystemPicture, JpegFilesLoadUprightAtTheirPixelSize) {
  ASSERT_EQ(dpi_, 96) << "sizes below are for a 96-dpi display";
  for (const char* name : {"baseline.jpg", "progressive.jpg"}) {
    ImageBuffer image;
    ASSERT_TRUE(Load(name, &image)) << name;
    EXPECT_EQ(image.kind, kImage24);
    ASSERT_EQ(image.width, 100) << name;
    ASSERT_EQ(image.height, 50) << name;
    // Red at the top left, blue at the top right, green along the bottom.
    EXPECT_TRUE(Near(PixelAt(image, 10, 5), kRed)) << name;
    EXPECT_TRUE(Near(PixelAt(image, 90, 5), kBlue)) << name;
    EXPECT_TRUE(Near(PixelAt(image, 10, 45), kGreen)) << name;
    EXPECT_TRUE(Near(PixelAt(image, 90, 45), kGreen)) << name;
  }
}

TEST_F(SystemPicture, GifsAndIconsLoadWithTransparentAreasBlack) {
  ImageBuffer gif;
  ASSERT_TRUE(Load("transparent.gif", &gif));
  ASSERT_EQ(gif.width, 40);
  ASSERT_EQ(gif.height, 30);
  EXPECT_EQ(PixelAt(gif, 5, 5), kGreen);  // the top-left quarter; the rest is transparent
  EXPECT_EQ(PixelAt(gif, 35, 5), kBlack);
  EXPECT_EQ(PixelAt(gif, 5, 25), kBlack);

  ImageBuffer icon;
  ASSERT_TRUE(Load("transparent.ico", &icon));
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.height, 32);
  EXPECT_EQ(PixelAt(icon, 4, 4), kBlue);
  EXPECT_EQ(PixelAt(icon, 28, 4), kBlack);
  EXPECT_EQ(PixelAt(icon, 4, 28), kBlack);

  ImageBuffer opaque;
  ASSERT_TRUE(Load("opaque.ico", &opaque));
  ASSERT_EQ(opaque.width, 32);
  EXPECT_EQ(PixelAt(opaque, 31, 31), kBlue);
}

TEST_F(SystemPicture, TheContentDecidesNotTheName) {
  for (const char* name : {"photo.jpeg", "photo.bmp", "photo.vqi", "photo"}) {
    ImageBuffer image;
    ASSERT_TRUE(Load("baseline.jpg", &image, name)) << name;
    EXPECT_EQ(image.width, 100) << name;
  }
}

TEST_F(SystemPicture, BytesTheSystemCannotDecodeAreRefused) {
  std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  ASSERT_FALSE(jpeg.empty());
  const std::vector<std::vector<uint8_t>> files = {
      {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'},
      std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20),  // a JPEG cut inside its header
      std::vector<uint8_t>(4096, 0xFF),
  };
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = folder_.Path("bad.jpg");
    ASSERT_TRUE(WriteBytes(path, files[i]));
    ImageBuffer image;
    EXPECT_FALSE(LoadImageFile(&image, path.c_str())) << "file " << i;
    EXPECT_EQ(image.kind, kImageEmpty) << "file " << i;
  }
}

TEST_F(SystemPicture, ATargetThatAlreadyHasASizeGetsThePictureStretched) {
  GlobalBlock block(ReadBytes(PicturePath("baseline.jpg")));
  ASSERT_NE(block.bytes(), nullptr);
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 20, 24, 30));
  ASSERT_TRUE(ReadSystemPicture(block.bytes(), &image, block.size()));
  ASSERT_EQ(image.width, 20);
  ASSERT_EQ(image.height, 30);
  EXPECT_TRUE(Near(PixelAt(image, 2, 2), kRed));
  EXPECT_TRUE(Near(PixelAt(image, 17, 2), kBlue));
  EXPECT_TRUE(Near(PixelAt(image, 10, 28), kGreen));
}

TEST_F(SystemPicture, TheFileBlockStaysTheCallersAfterTheStreamIsGone) {
  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  GlobalBlock block(jpeg);
  ImageBuffer image;
  ASSERT_TRUE(ReadSystemPicture(block.bytes(), &image, block.size()));
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), block.bytes()));
  EXPECT_TRUE(block.Free());
}

TEST_F(SystemPicture, ABmpTheConversionRejectsIsRefusedByTheSystemToo) {
  // Bit fields without a single mask bit pass the BMP checks, but the system's conversion
  // refuses them after the BMP reader has sized the target. The system's picture loader
  // takes BMP files through the same conversion, so the file does not load at all.
  BmpRecipe recipe;
  recipe.width = 4;
  recipe.height = 2;
  recipe.bitCount = 32;
  recipe.compression = 3;
  recipe.masks = {0, 0, 0};
  recipe.pixelData = PackRows(4, 2, 32, [](int32_t, int32_t) { return 0x123456u; });
  const std::string path = folder_.Path("masks.bmp");
  ASSERT_TRUE(WriteBytes(path, BuildBmp(recipe)));
  ImageBuffer image;
  EXPECT_FALSE(LoadImageFile(&image, path.c_str()));
}
