#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

class Startup : public ViewerTest {};

// True when File > "BMPで保存(&S)..." can be chosen: its dialog then shows within `ms`.
bool SaveItemOpensDialog(PeloraProgram& pelora, DWORD ms) {
  SetForegroundWindow(pelora.Window());
  PressKey('F', {VK_MENU});
  PressKey('S');
  HWND dialog = pelora.WaitForOwnWindow("#32770", ms);
  if (dialog == nullptr) {
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    return false;
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  WaitUntil([&] { return !IsWindow(dialog); });
  return true;
}

}  // namespace

TEST_F(Startup, FirstStartShowsTheWhitePictureCentredWithImageItemsGrey) {
  ASSERT_TRUE(pelora_.Start());
  RECT frame;
  GetWindowRect(pelora_.Window(), &frame);
  EXPECT_EQ(frame.right - frame.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_EQ(frame.bottom - frame.top, GetSystemMetrics(SM_CYSCREEN) / 2);
  EXPECT_EQ(pelora_.Title(), "Pelora");

  const ScreenPixels view = CaptureClient(pelora_.View());
  const ViewRect picture = ActualSizePictureRect({320, 240}, {view.width, view.height});
  EXPECT_TRUE(ShowsRectangle(view, picture, kWhite));
  EXPECT_FALSE(SaveItemOpensDialog(pelora_, 1500));
  // The keys of grey items do nothing: no print dialog, nothing copied.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  PressKey('P', {VK_CONTROL});
  PressKey('C', {VK_CONTROL});
  EXPECT_EQ(pelora_.WaitForOwnWindow("#32770", 1000), nullptr);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));

  EXPECT_EQ(pelora_.Close(), 0u);
  const std::string ini = pelora_.SettingsPath();
  EXPECT_EQ(SettingsInt(ini, "SeriesSave", "SeriesNo", -1), 1);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "WinState", -1), 1);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "FitToWindow", -1), 0);
  EXPECT_EQ(
      SettingsInt(ini, "PeloraApp", "WinRectR", -1) - SettingsInt(ini, "PeloraApp", "WinRectL", -1),
      frame.right - frame.left);
  EXPECT_EQ(
      SettingsInt(ini, "PeloraApp", "WinRectB", -1) - SettingsInt(ini, "PeloraApp", "WinRectT", -1),
      frame.bottom - frame.top);
}

TEST_F(Startup, SavedWindowStateIsRestoredOnlyWhenAskedFor) {
  WriteSettings(pelora_.SettingsPath(),
                "[PeloraApp]\r\nWinSavePos=1\r\nWinState=1\r\nWinRectL=100\r\nWinRectT=0\r\n"
                "WinRectR=250\r\nWinRectB=500\r\nFitToWindow=1\r\n[SeriesSave]\r\nSeriesNo=7\r\n");
  ASSERT_TRUE(pelora_.Start());
  RECT frame;
  GetWindowRect(pelora_.Window(), &frame);
  EXPECT_EQ(frame.right - frame.left, 200);  // raised to the smallest width
  EXPECT_EQ(frame.bottom - frame.top, 500);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "SeriesSave", "SeriesNo", -1), 7);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "PeloraApp", "FitToWindow", -1), 1);

  WriteSettings(pelora_.SettingsPath(), "[PeloraApp]\r\nWinSavePos=1\r\nWinState=3\r\n");
  ASSERT_TRUE(pelora_.Start());
  EXPECT_TRUE(IsZoomed(pelora_.Window()));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "PeloraApp", "WinState", -1), 3);

  WriteSettings(pelora_.SettingsPath(), "[PeloraApp]\r\nWinSavePos=1\r\nWinState=2\r\n");
  ASSERT_TRUE(pelora_.Start());
  EXPECT_FALSE(IsIconic(pelora_.Window()));
  EXPECT_EQ(pelora_.Close(), 0u);

  // Without "WinSavePos" the saved fit mode is not used: a large picture shows at 1:1.
  WriteSettings(pelora_.SettingsPath(), "[PeloraApp]\r\nWinSavePos=0\r\nFitToWindow=1\r\n");
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("large.bmp", 1200, 900))));
  EXPECT_TRUE(GetWindowLongA(pelora_.View(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "PeloraApp", "FitToWindow", -1), 0);
}

TEST_F(Startup, CommandLinePathsAndTitles) {
  const std::string spaced = WriteCodedImage("my picture.bmp", 64, 48);
  ASSERT_TRUE(pelora_.Start(Quoted(spaced)));
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  EXPECT_EQ(pelora_.Close(), 0u);

  ASSERT_TRUE(pelora_.Start(spaced));  // unquoted, blanks and all
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  const ScreenPixels view = CaptureClient(pelora_.View());
  const ViewRect picture = ActualSizePictureRect({64, 48}, {view.width, view.height});
  EXPECT_EQ(view.At(picture.left + 5, picture.top + 7), CodedColor(5, 7));
  EXPECT_EQ(pelora_.Close(), 0u);

  // Only the text's last character goes with the leading quote: this names no file.
  ASSERT_TRUE(pelora_.Start(Quoted(spaced) + " x"));
  EXPECT_EQ(pelora_.Title(), "my picture.bmp\"  - Pelora");
  const ScreenPixels empty = CaptureClient(pelora_.View());
  EXPECT_TRUE(ShowsRectangle(empty, {0, 0, empty.width, empty.height}, WindowColor()));
  EXPECT_TRUE(SaveItemOpensDialog(pelora_, 10000));  // the image items are enabled all the same
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Startup, ASecondStartHandsItsPathToTheRunningWindow) {
  ASSERT_TRUE(pelora_.Start());
  const std::string picture = WriteCodedImage("handed.bmp", 50, 40);
  PeloraProgram second(folder_);
  ASSERT_TRUE(second.Start(Quoted(picture), false));
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "handed.bmp - Pelora"; }));
  EXPECT_EQ(GetForegroundWindow(), pelora_.Window());
  EXPECT_FALSE(FileExists(pelora_.SettingsPath()));  // the second start wrote nothing

  PeloraProgram third(folder_);
  ASSERT_TRUE(third.Start());  // without a path: a window of its own
  EXPECT_NE(third.Window(), pelora_.Window());
  EXPECT_EQ(third.Close(), 0u);
  EXPECT_EQ(pelora_.Close(), 0u);
}
