#include <gtest/gtest.h>

#include "shell/resource.h"
#include "shell/version.h"
#include "tests/e2e/pelora_driver.h"

namespace {
class Files : public ViewerTest {};
}  // namespace

TEST_F(Files, OpenThroughTheDialogAndSaveAsBmp) {
  ASSERT_TRUE(pelora_.Start());
  const std::string picture = WriteCodedImage("chosen.bmp", 70, 30);
  SetForegroundWindow(pelora_.Window());
  PressKey('O', {VK_CONTROL});
  HWND open = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(open, nullptr);
  char title[64] = "";
  GetWindowTextA(open, title, sizeof title);
  EXPECT_STREQ(title, "読み込み");
  ASSERT_TRUE(AnswerFileDialog(open, picture));
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "chosen.bmp - Pelora"; }));

  pelora_.PostCommand(ID_FILE_SAVE_BMP);
  HWND save = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(save, nullptr);
  GetWindowTextA(save, title, sizeof title);
  EXPECT_STREQ(title, "保存");
  ASSERT_TRUE(AnswerFileDialog(save, folder_.Path("copy")));  // ".bmp" is added
  const std::string copy = folder_.Path("copy.bmp");
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(copy).size() == 54u + 212 * 30; }));
  EXPECT_EQ(ReadBytes(copy), [&] {
    std::vector<uint8_t> expected = ReadBytes(picture);
    for (size_t i = 38; i < 46; ++i) expected[i] = 0;  // the writer leaves the resolution 0
    return expected;
  }());
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Files, DroppingFilesOpensTheFirst) {
  ASSERT_TRUE(pelora_.Start());
  const std::string first = WriteCodedImage("first.bmp", 240, 40);
  const std::string second = WriteCodedImage("second.bmp", 250, 50);
  const std::string third = WriteCodedImage("third.bmp", 260, 60);
  ASSERT_TRUE(DropFiles(pelora_, {first, second, third}));
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "first.bmp - Pelora"; }));
  pelora_.Settle();
  RECT client;
  GetClientRect(pelora_.View(), &client);
  EXPECT_EQ(client.right, 240);
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Files, AboutBoxNamesTheVersion) {
  ASSERT_TRUE(pelora_.Start());
  pelora_.PostCommand(ID_HELP_ABOUT);
  HWND about = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(about, nullptr);
  char title[64] = "";
  GetWindowTextA(about, title, sizeof title);
  EXPECT_STREQ(title, "About Pelora");
  char text[64] = "";
  GetDlgItemTextA(about, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "Pelora Ver." PELORA_VERSION);
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  EXPECT_EQ(pelora_.Close(), 0u);
}
