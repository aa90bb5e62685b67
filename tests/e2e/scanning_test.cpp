#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/scanner_fixture.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

class Scanning : public ScannerTest {
 protected:
  // The white start picture, still shown.
  bool ShowsStartPicture() const {
    const ScreenPixels view = CaptureClient(pelora_.View());
    return ShowsRectangle(view, ActualSizePictureRect({320, 240}, {view.width, view.height}),
                          kWhite);
  }
};

}  // namespace

TEST_F(Scanning, PlainRequestScansWithoutTheSourceDialogAndShowsThePage) {
  ASSERT_TRUE(pelora_.Start("CMD:TWAIN"));
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_EQ(pelora_.Title(), "TWAIN機器 Pelora");
  EXPECT_EQ(ScannerLog(), (std::vector<std::string>{"OPENDS", "ENABLEDS 0 0", "XFER 0", "ENDXFER",
                                                    "DISABLEDS", "CLOSEDS"}));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, EveryKindOfPageBecomesTheSame24BitPicture) {
  ScannerSetup grey;
  grey.width = 150;
  grey.height = 100;
  grey.bitsPerPixel = 8;
  ScannerSetup shortPalette = grey;
  shortPalette.colorsUsed = 16;
  ScannerSetup mono = grey;
  mono.bitsPerPixel = 1;
  mono.width = 149;  // rows end inside a byte
  ScannerSetup topDown = grey;
  topDown.bitsPerPixel = 24;
  topDown.topDown = true;
  ScannerSetup bitFields = grey;
  bitFields.bitsPerPixel = 16;
  for (const ScannerSetup& setup : {grey, shortPalette, mono, topDown, bitFields}) {
    SCOPED_TRACE("depth " + std::to_string(setup.bitsPerPixel) + ", colours " +
                 std::to_string(setup.colorsUsed) + (setup.topDown ? ", top-down" : ""));
    ConfigureScanner(setup);
    PeloraProgram pelora(folder_);
    ASSERT_TRUE(pelora.Start("CMD:TWAIN"));
    ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
    EXPECT_TRUE(WaitUntilShown(pelora, setup));
    EXPECT_EQ(pelora.Close(), 0u);
  }
}

TEST_F(Scanning, MenuAcquireShowsTheSourceDialogModally) {
  ASSERT_TRUE(pelora_.Start());
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(ScannerLogHas("ENABLEDS 1 1"));
  EXPECT_FALSE(IsWindowEnabled(pelora_.Window()));
  PressScannerButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_TRUE(IsWindowEnabled(pelora_.Window()));
  EXPECT_EQ(pelora_.Title(), "Pelora");  // the menu does not retitle the window

  // The connection was closed completely: a second acquisition opens it again.
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  PressScannerButton(dialog, kScanButton);
  EXPECT_TRUE(WaitUntilScannerClosed(2)) << ScannerLogText();
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, ClosingTheSourceDialogLeavesThePictureAlone) {
  ASSERT_TRUE(pelora_.Start());
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  PressScannerButton(dialog, kCloseButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  pelora_.Settle();
  EXPECT_EQ(ScannerLog(),
            (std::vector<std::string>{"OPENDS", "ENABLEDS 1 1", "DISABLEDS", "CLOSEDS"}));
  EXPECT_EQ(pelora_.WaitForOwnWindow("#32770", 500), nullptr);
  EXPECT_TRUE(ShowsStartPicture());
  EXPECT_TRUE(IsWindowEnabled(pelora_.Window()));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, FailedAndCancelledTransfersAreReportedAndChangeNothing) {
  const struct {
    const char* result;
    const char* message;
  } cases[] = {{"fail", "TWAIN(Pelo): 転送エラー"},
               {"cancel", "TWAIN(Pelo): キャンセルされました"},
               {"broken", "TWAIN(Pelo): 転送エラー"}};  // a bitmap without its rows
  ASSERT_TRUE(pelora_.Start());
  int closed = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    ConfigureScanner(setup_, std::string("Result=") + c.result + "\r\n");
    pelora_.PostCommand(ID_TWAIN_ACQUIRE);
    HWND dialog = WaitForScannerDialog();
    ASSERT_NE(dialog, nullptr);
    PressScannerButton(dialog, kScanButton);
    EXPECT_EQ(pelora_.AnswerMessageBox(), c.message);
    ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
    ++closed;
    pelora_.Settle();
    EXPECT_TRUE(ShowsStartPicture());
  }
  // A transfer that reports success without memory changes nothing and says nothing.
  ConfigureScanner(setup_, "Result=empty\r\n");
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  PressScannerButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  pelora_.Settle();
  EXPECT_EQ(pelora_.WaitForOwnWindow("#32770", 500), nullptr);
  EXPECT_TRUE(ShowsStartPicture());
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, ASourceThatCannotBeEnabledIsClosedAgainOneThatNeedsItsDialogScans) {
  ConfigureScanner(setup_, "EnableFails=1\r\n");
  ASSERT_TRUE(pelora_.Start("CMD:TWAIN"));
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_EQ(ScannerLog(), (std::vector<std::string>{"OPENDS", "ENABLEDS 0 0", "CLOSEDS"}));

  // The request handed over by a second start then scans in the running window, through the
  // dialog of a source that cannot hide it.
  ConfigureScanner(setup_, "NeedsDialog=1\r\n");
  PeloraProgram second(folder_);
  ASSERT_TRUE(second.Start("CMD:TWAIN", false));
  EXPECT_EQ(second.WaitForExit(), 0u);
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr) << ScannerLogText();
  PressScannerButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, TheSourceChosenInTheSelectionDialogIsUsedNext) {
  ASSERT_TRUE(pelora_.Start());
  pelora_.PostCommand(ID_TWAIN_SELECT);
  HWND chooser = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(chooser, nullptr);
  PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
  pelora_.Settle();
  EXPECT_TRUE(ScannerLog().empty());

  pelora_.PostCommand(ID_TWAIN_SELECT);
  chooser = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(chooser, nullptr);
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  PressScannerButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, ClosingTheWindowDuringAnAcquisitionClosesTheSource) {
  ASSERT_TRUE(pelora_.Start());
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  ASSERT_NE(WaitForScannerDialog(), nullptr);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(ScannerLog(),
            (std::vector<std::string>{"OPENDS", "ENABLEDS 1 1", "DISABLEDS", "CLOSEDS"}));
}
