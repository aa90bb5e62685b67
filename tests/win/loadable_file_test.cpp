#include <gtest/gtest.h>
#include <windows.h>

#include "core/image_loader.h"
#include "shell/settings.h"
#include "tests/win/temp_folder.h"

namespace {

// Files with some content (which is never looked at) and a settings file of the test's own.
class LoadableFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSettingsPath(settings_));
    DeleteFileA(settings_);
  }
  void TearDown() override { DeleteFileA(settings_); }

  std::string Make(const std::string& name, size_t size = 3) {
    const std::string path = folder_.Path(name);
    EXPECT_TRUE(WriteBytes(path, std::vector<uint8_t>(size, 'x')));
    return path;
  }

  char settings_[kSettingsPathSize];
  TempFolder folder_;
};

}  // namespace

TEST_F(LoadableFile, BuiltInExtensionsCountWhateverTheCase) {
  EXPECT_TRUE(IsLoadableImageFile(Make("PHOTO.JPG").c_str()));
  EXPECT_TRUE(IsLoadableImageFile(Make("scan.bmp").c_str()));
  EXPECT_TRUE(IsLoadableImageFile(Make("写真.Gif").c_str()));
  EXPECT_FALSE(IsLoadableImageFile(Make("photo.jpeg").c_str()));
  EXPECT_FALSE(IsLoadableImageFile(Make("notes.txt").c_str()));
}

TEST_F(LoadableFile, OnlyExistingReadableNonEmptyFilesCount) {
  EXPECT_FALSE(IsLoadableImageFile(Make("empty.bmp", 0).c_str()));
  EXPECT_FALSE(IsLoadableImageFile(folder_.Path("missing.bmp").c_str()));
  CreateDirectoryA(folder_.Path("folder.bmp").c_str(), nullptr);
  EXPECT_FALSE(IsLoadableImageFile(folder_.Path("folder.bmp").c_str()));

  const std::string held = Make("held.bmp");
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(IsLoadableImageFile(held.c_str()));
  CloseHandle(file);
  EXPECT_TRUE(IsLoadableImageFile(held.c_str()));
}

TEST_F(LoadableFile, ANameThatIsOnlyAnExtensionCounts) {
  Make(".bmp");
  Make(".png");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path("").c_str()));
  ASSERT_TRUE(WriteSettingString("spi", ".png", "ifpng.spi"));
  EXPECT_TRUE(IsLoadableImageFile(".bmp"));
  EXPECT_FALSE(IsLoadableImageFile(".png"));  // a key must be shorter than the path
  SetCurrentDirectoryA(previous);
}

TEST_F(LoadableFile, PluginKeysAddEndings) {
  const std::string jpeg = Make("photo.JPEG");
  const std::string tiff = Make("scan.tiff");
  EXPECT_FALSE(IsLoadableImageFile(jpeg.c_str()));
  ASSERT_TRUE(WriteSettingString("spi", ".jpeg", "ifjpeg.spi"));
  ASSERT_TRUE(WriteSettingString("spi", ".tiff", ""));
  EXPECT_TRUE(IsLoadableImageFile(jpeg.c_str()));
  EXPECT_TRUE(IsLoadableImageFile(tiff.c_str()));
  EXPECT_FALSE(IsLoadableImageFile(Make("scan.tif").c_str()));
}
