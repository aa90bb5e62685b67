#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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

  std::string FileText() const {
    const std::vector<uint8_t> bytes = ReadBytes(path_);
    return {bytes.begin(), bytes.end()};
  }

  char path_[kSettingsPathSize];
};

}  // namespace

TEST_F(Settings, FileLiesBesideTheProgram) {
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  std::string expected(module, length);
  expected.resize(expected.rfind('\\') + 1);
  EXPECT_EQ(std::string(path_), expected + "Pelora.ini");
}

TEST_F(Settings, MissingKeysGiveTheirDefaults) {
  EXPECT_EQ(ReadSettingInt("SeriesSave", "SeriesNo", 1), 1);
  EXPECT_EQ(ReadSettingInt("EVENT", "Scan", -1), -1);
  char text[512];
  EXPECT_EQ(ReadSettingString("SeriesSave", "SeriesFile", "*", text, sizeof text), 1u);
  EXPECT_STREQ(text, "*");
  EXPECT_FALSE(FileExists(path_));  // reading never makes the file
}

TEST_F(Settings, KeysAreWrittenAndReadBack) {
  ASSERT_TRUE(WriteSettingInt("SeriesSave", "SeriesNo", 12));
  ASSERT_TRUE(WriteSettingInt("PeloraApp", "WinRectL", -8));
  ASSERT_TRUE(WriteSettingString("SeriesSave", "SeriesFile", "C:\\スキャン\\表紙.bmp"));
  EXPECT_EQ(ReadSettingInt("SeriesSave", "SeriesNo", 1), 12);
  EXPECT_EQ(ReadSettingInt("PeloraApp", "WinRectL", 0), -8);
  char text[512];
  ReadSettingString("SeriesSave", "SeriesFile", "*", text, sizeof text);
  EXPECT_STREQ(text, "C:\\スキャン\\表紙.bmp");

  const std::string file = FileText();
  EXPECT_NE(file.find("[SeriesSave]"), std::string::npos) << file;
  EXPECT_NE(file.find("SeriesNo=12"), std::string::npos) << file;
  EXPECT_NE(file.find("WinRectL=-8"), std::string::npos) << file;
}

TEST_F(Settings, ASectionListsItsKeysInFileOrder) {
  ASSERT_TRUE(WriteSettingInt("EVENT", "スキャンボタン", 2));
  ASSERT_TRUE(WriteSettingInt("EVENT", "Copy", 4));
  char keys[260];
  ReadSettingString("EVENT", nullptr, "?", keys, sizeof keys);
  EXPECT_STREQ(keys, "スキャンボタン");
  EXPECT_STREQ(keys + strlen(keys) + 1, "Copy");
  EXPECT_EQ(keys[strlen(keys) + 1 + 5], '\0');
}
