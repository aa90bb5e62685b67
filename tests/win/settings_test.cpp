#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/image_loader.h"
#include "shell/settings.h"
#include "tests/win/temp_folder.h"

namespace {

// Each test starts without a settings file and leaves none behind.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSettingsPath(path_));
    DeleteFileA(path_);
  }
  void TearDown() override { DeleteFileA(path_); }

  std::string Make(const std::string& name, size_t size = 3) {
    EXPECT_TRUE(WriteBytes(folder_.Path(name), std::vector<uint8_t>(size, 'x')));
    return folder_.Path(name);
  }

  char path_[kSettingsPathSize];
  TempFolder folder_;
};

}  // namespace

TEST_F(Settings, KeptBesideTheProgramAndReadBackAsWritten) {
  char module[MAX_PATH];
  const std::string program(module, GetModuleFileNameA(nullptr, module, sizeof module));
  EXPECT_EQ(std::string(path_), program.substr(0, program.rfind('\\') + 1) + "Pelora.ini");

  char text[512];
  EXPECT_EQ(ReadSettingInt("SeriesSave", "SeriesNo", 1), 1);
  EXPECT_EQ(ReadSettingString("SeriesSave", "SeriesFile", "*", text, sizeof text), 1u);
  EXPECT_STREQ(text, "*");
  EXPECT_FALSE(FileExists(path_));  // reading never makes the file

  ASSERT_TRUE(WriteSettingInt("EVENT", "スキャンボタン", -8));
  ASSERT_TRUE(WriteSettingString("SeriesSave", "SeriesFile", "C:\\スキャン\\表紙.bmp"));
  EXPECT_EQ(ReadSettingInt("EVENT", "スキャンボタン", 0), -8);
  ReadSettingString("SeriesSave", "SeriesFile", "*", text, sizeof text);
  EXPECT_STREQ(text, "C:\\スキャン\\表紙.bmp");
}

// Built-in endings in any case, and those of the plug-in section, of files that can be read.
TEST_F(Settings, LoadableFilesAreReadableNonEmptyFilesWithAKnownEnding) {
  ASSERT_TRUE(WriteSettingString("spi", ".jpeg", "ifjpeg.spi"));
  ASSERT_TRUE(WriteSettingString("spi", ".tiff", ""));
  CreateDirectoryA(folder_.Path("folder.bmp").c_str(), nullptr);
  const std::string held = Make("held.bmp");
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const struct {
    std::string path;
    bool loadable;
  } files[] = {{Make("PHOTO.JPG"), true},           {Make("写真.Gif"), true},
               {Make("photo.JPEG"), true},          {Make("scan.tiff"), true},
               {Make("scan.tif"), false},           {Make("notes.txt"), false},
               {Make("empty.bmp", 0), false},       {folder_.Path("missing.bmp"), false},
               {folder_.Path("folder.bmp"), false}, {held, false}};
  for (const auto& f : files) EXPECT_EQ(IsLoadableImageFile(f.path.c_str()), f.loadable) << f.path;
  CloseHandle(file);
  EXPECT_TRUE(IsLoadableImageFile(held.c_str()));
}
