#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/scanner_fixture.h"
#include "vqi/vqi_export_ids.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

class Scanning : public ScannerTest {
 protected:
  // The white start picture, still shown.
  bool ShowsStartPicture() const {
    // Painted anew, as after a window passed over it: what the program holds now.
    RedrawWindow(pelora_.View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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
  // A page the 32-bit release has no room for: its 24-bit copy and the system's conversion
  // bitmap take 805 MB each, in an address space of 2 GB. A 64-bit process would take it.
  ScannerSetup tooLarge;
  tooLarge.width = tooLarge.height = 16384;
  tooLarge.bitsPerPixel = 1;
  const struct {
    const char* result;
    const char* message;
    ScannerSetup page;
  } cases[] = {{"fail", "TWAIN(Pelo): 転送エラー", setup_},
               {"cancel", "TWAIN(Pelo): キャンセルされました", setup_},
               {"broken", "TWAIN(Pelo): 転送エラー", setup_},  // a bitmap without its rows
               {"blank", "TWAIN(Pelo): 転送エラー", tooLarge}};
  ASSERT_TRUE(pelora_.Start());
  int closed = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    if (c.page.width == tooLarge.width && sizeof(void*) == 8) continue;
    ConfigureScanner(c.page, std::string("Result=") + c.result + "\r\n");
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

// A 600-dpi A4 colour page (104 MB at 24 bits) goes every way a page goes, within the 2 GB of
// the 32-bit release: scanned, shown, saved as BMP and as VQI, turned, and read back.
TEST_F(Scanning, FullSizePageScansShowsSavesAndTurns) {
  ScannerSetup a4;
  a4.width = 4960;
  a4.height = 7016;
  ConfigureScanner(a4);
  ASSERT_TRUE(pelora_.Start("CMD:TWAIN"));
  ASSERT_TRUE(WaitUntil([&] { return ScannerLogHas("CLOSEDS"); }, 60000)) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, a4));

  const auto answerSaveDialog = [&](const std::string& path) {
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      save = pelora_.WaitForOwnWindow("#32770", 200);
      return WindowText(save) == "保存";
    }));
    ASSERT_TRUE(AnswerFileDialog(save, path));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }, 60000));
    pelora_.Settle();
  };
  pelora_.PostCommand(ID_FILE_SAVE_BMP);
  answerSaveDialog(folder_.Path("a4.bmp"));
  EXPECT_TRUE(FileHoldsPage(folder_.Path("a4.bmp"), a4, 0));
  pelora_.PostCommand(ID_FILE_SAVE_VQI);
  HWND exportDialog = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(exportDialog, nullptr);
  SendDlgItemMessageA(exportDialog, IDC_VQI_MODE, CB_SETCURSEL, 0, 0);  // RGB, which is exact
  PostMessageA(exportDialog, WM_COMMAND, IDOK, 0);
  answerSaveDialog(folder_.Path("a4.vqi"));

  // Turned right: view column c, row r shows the page's column r, row 7015 - c.
  pelora_.Command(ID_ROTATE_RIGHT);
  const ScreenPixels turned = CaptureClient(pelora_.View());
  for (const auto& [c, r] : {std::pair{0, 0}, {300, 17}, {turned.width - 1, turned.height - 1}}) {
    EXPECT_EQ(turned.At(c, r), ScannedColor(a4, 0, r, a4.height - 1 - c)) << c << ", " << r;
  }
  OpenByDropping(folder_.Path("a4.vqi"));
  EXPECT_TRUE(WaitUntilShown(pelora_, a4));
  EXPECT_EQ(pelora_.Close(), 0u);
}
