#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/scanner_fixture.h"
#include "tests/e2e/test_printer.h"
#include "vqi/vqi_export_ids.h"

namespace {

using Log = std::vector<std::string>;
const Log kScanWithoutDialog = {"OPENDS",  "ENABLEDS 0 0", "XFER 0",
                                "ENDXFER", "DISABLEDS",    "CLOSEDS"};
const char kScanEvent[] = "{A1000001-0000-0000-0000-00000000000A}";
const char kCopyEvent[] = "{A1000002-0000-0000-0000-00000000000B}";
const char kTitle[] = "TWAIN機器:Pelora Virtual Scanner Pelora";

class Scanning : public ScannerTest {
 protected:
  // Hands a request to the running window as a second start does; `answer` is called while
  // the second start waits for the hand-off to finish.
  void HandOver(
      const std::string& request, const std::function<void()>& answer = [] {}) {
    PeloraProgram second(folder_);
    ASSERT_TRUE(second.Start(request, false));
    answer();
    EXPECT_EQ(second.WaitForExit(), 0u);
  }

  static std::string Request(const std::string& eventId) {
    return std::string("CMD:TWAIN\\") + kDeviceKey + " " + eventId;
  }

  void WriteScanner(const std::string& description = "Pelora Virtual Scanner") {
    WriteDevice(description,
                {{"0000", kScanEvent, "ScanButton"}, {"0001", kCopyEvent, "CopyButton"}});
  }

  void SetAction(const char* event, const char* action) {
    WritePrivateProfileStringA("EVENT", event, action, pelora_.SettingsPath().c_str());
  }

  // Acquires through the menu and presses the source dialog's `button`.
  void AcquireWithDialog(int button = kScanButton) {
    pelora_.PostCommand(ID_TWAIN_ACQUIRE);
    HWND dialog = WaitForScannerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ScannerLogHas("ENABLEDS 1 1"));
    EXPECT_FALSE(IsWindowEnabled(pelora_.Window()));  // modal
    PressButton(dialog, button);
  }
};

std::string Joined(const Log& log) {
  std::string text;
  for (const std::string& line : log) text += line + "; ";
  return text;
}

}  // namespace

TEST_F(Scanning, RequestsMenuPageKindsAndFailures) {
  WriteCodedImage("other.bmp", 64, 48);
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("browsed.bmp", 64, 48))));
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), "other.bmp - Pelora");
  // A source that cannot be enabled is closed again.
  ConfigureScanner(setup_, "EnableFails=1\r\n");
  HandOver("CMD:TWAIN");
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_EQ(ScannerLog(), (Log{"OPENDS", "ENABLEDS 0 0", "CLOSEDS"}));

  // A request handed over scans without the source's dialog; the page is no document, so
  // stepping goes on in the folder browsed last.
  ConfigureScanner(setup_);
  HandOver("CMD:TWAIN");
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_TRUE(WaitUntilShown(setup_));
  EXPECT_EQ(pelora_.Title(), "TWAIN機器 Pelora");
  EXPECT_EQ(ScannerLog(), kScanWithoutDialog);
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), "browsed.bmp - Pelora");

  // A source that cannot hide its dialog shows it all the same (TWRC_CHECKSTATUS) and scans.
  ScannerSetup shown = {130, 90};
  ConfigureScanner(shown, "NeedsDialog=1\r\n");
  HandOver("CMD:TWAIN");
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr) << Joined(ScannerLog());
  PressButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_TRUE(WaitUntilShown(shown));

  // Through the menu, with the source's dialog: every kind of page becomes the same 24-bit
  // picture; a failed transfer is reported and changes nothing. A page over 2^28 pixels is
  // refused; one of 2^28 has no room in the 2 GB of the 32-bit release (its 24-bit copy and
  // the system's conversion bitmap take 805 MB each), a 64-bit process would take it.
  const ScannerSetup over = {16385, 16384, 1}, limit = {16384, 16384, 1};
  const struct {
    ScannerSetup page;
    const char* extra;
    const char* message;  // null: the page shows
  } cases[] = {{setup_, "Result=fail", "TWAIN(Pelo): 転送エラー"},
               {setup_, "Result=cancel", "TWAIN(Pelo): キャンセルされました"},
               {setup_, "Result=broken", "TWAIN(Pelo): 転送エラー"},  // a bitmap without its rows
               {setup_, "Result=empty", "<none>"},  // success without memory: nothing said
               {over, "Result=blank", "TWAIN(Pelo): 転送エラー"},
               {limit, "Result=blank", sizeof(void*) == 4 ? "TWAIN(Pelo): 転送エラー" : nullptr},
               {{150, 100, 8}, "", nullptr},
               {{150, 100, 8, 16}, "", nullptr},  // a short palette
               {{149, 100, 1}, "", nullptr},      // rows end inside a byte
               {{150, 100, 24, 0, true}, "", nullptr},
               {{150, 100, 16}, "", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.extra) + " depth " + std::to_string(c.page.bitsPerPixel));
    if (c.page.width == limit.width && c.message == nullptr) continue;
    ConfigureScanner(c.page, std::string(c.extra) + "\r\n");
    AcquireWithDialog();
    if (c.message != nullptr) {
      EXPECT_EQ(pelora_.AnswerMessageBox(1500), c.message);
    }
    ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
    if (c.message == nullptr) shown = c.page;
    EXPECT_TRUE(WaitUntilShown(shown));
    EXPECT_TRUE(IsWindowEnabled(pelora_.Window()));
  }

  // Closing the source's dialog changes nothing and says nothing.
  ConfigureScanner(setup_);
  AcquireWithDialog(kCloseButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_EQ(ScannerLog(), (Log{"OPENDS", "ENABLEDS 1 1", "DISABLEDS", "CLOSEDS"}));
  EXPECT_EQ(pelora_.AnswerMessageBox(500), "<none>");
  EXPECT_TRUE(WaitUntilShown(shown));

  // The selection dialog: cancelled it opens nothing; the source chosen is used next.
  ConfigureScanner(setup_);
  for (int button : {IDCANCEL, IDOK}) {
    pelora_.PostCommand(ID_TWAIN_SELECT);
    ASSERT_TRUE(CloseDialog(pelora_.WaitForOwnWindow("#32770"), button));
  }
  EXPECT_TRUE(ScannerLog().empty());
  AcquireWithDialog();
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_TRUE(WaitUntilShown(setup_));

  // Closing the window during an acquisition closes the source.
  ConfigureScanner(setup_);
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  ASSERT_NE(WaitForScannerDialog(), nullptr);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(ScannerLog(), (Log{"OPENDS", "ENABLEDS 1 1", "DISABLEDS", "CLOSEDS"}));
}

// A 600-dpi A4 colour page (104 MB at 24 bits) goes every way a page goes, within the 2 GB of
// the 32-bit release: scanned, shown, saved as BMP and as VQI, turned, and read back.
TEST_F(Scanning, FullSizePageScansShowsSavesAndTurns) {
  const ScannerSetup a4 = {4960, 7016};
  ConfigureScanner(a4);
  ASSERT_TRUE(pelora_.Start("CMD:TWAIN"));
  ASSERT_TRUE(WaitUntilScannerClosed(1, 60000)) << Joined(ScannerLog());
  EXPECT_TRUE(WaitUntilShown(a4));

  const auto answerSaveDialog = [&](const std::string& path) {
    ASSERT_TRUE(AnswerFileDialog(pelora_.WaitForDialog("保存"), path));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }, 60000));
    pelora_.Settle();
  };
  pelora_.PostCommand(ID_FILE_SAVE_BMP);
  answerSaveDialog(folder_.Path("a4.bmp"));
  EXPECT_TRUE(FileHoldsPage(folder_.Path("a4.bmp"), a4));
  pelora_.PostCommand(ID_FILE_SAVE_VQI);
  HWND exportDialog = pelora_.WaitForDialog("VQIで出力");
  ASSERT_NE(exportDialog, nullptr);
  SendDlgItemMessageA(exportDialog, IDC_VQI_MODE, CB_SETCURSEL, 0, 0);  // RGB, which is exact
  PressButton(exportDialog, IDOK);
  answerSaveDialog(folder_.Path("a4.vqi"));

  // Turned right: view column c, row r shows the page's column r, row 7015 - c.
  pelora_.Command(ID_ROTATE_RIGHT);
  const ScreenPixels turned = CaptureClient(pelora_.View());
  for (const auto& [c, r] : {std::pair{0, 0}, {300, 17}, {turned.width - 1, turned.height - 1}}) {
    EXPECT_EQ(turned.At(c, r), ScannedColor(a4, 0, r, a4.height - 1 - c)) << c << ", " << r;
  }
  OpenByDropping(folder_.Path("a4.vqi"));
  EXPECT_TRUE(WaitUntilShown(a4));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, ScannerButtonsRegisterThenRunTheirActions) {
  WriteScanner();
  ASSERT_TRUE(pelora_.Start(Request("{a1000001-0000-0000-0000-00000000000a}"), false));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "イベントを登録しました: ScanButton");
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(pelora_.Title(), kTitle);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "EVENT", "ScanButton"), 0);
  HandOver(Request(kScanEvent));  // registered, no action yet: nothing happens
  EXPECT_EQ(pelora_.AnswerMessageBox(500), "<none>");
  EXPECT_TRUE(ScannerLog().empty());

  // "簡易スキャン" chosen in the settings dialog: a scan without the source's dialog.
  pelora_.PostCommand(ID_EDIT_SETTINGS);
  HWND settings = pelora_.WaitForDialog("設定");
  ChooseItem(settings, IDC_ACTION_LIST, 2);
  ASSERT_TRUE(CloseDialog(settings));
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "EVENT", "ScanButton"), 2);
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_EQ(ScannerLog(), kScanWithoutDialog);
  EXPECT_TRUE(WaitUntilShown(setup_));
  EXPECT_EQ(pelora_.Title(), kTitle);

  // "スキャン": the source's own dialog.
  SetAction("ScanButton", "1");
  const ScannerSetup other = {130, 120};
  ConfigureScanner(other);
  HandOver(Request(kScanEvent));
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(ScannerLogHas("ENABLEDS 1 1"));
  PressButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_TRUE(WaitUntilShown(other));

  // "印刷": scanned without a dialog, shown, and printed through the print dialog.
  const std::string unixJob = "/tmp/pelora-scan-print-" + std::to_string(GetCurrentProcessId());
  std::string job = "Z:" + unixJob;
  for (char& c : job) c = c == '/' ? '\\' : c;
  DeleteFileA(job.c_str());
  ASSERT_TRUE(InstallTestPrinter(unixJob));
  SetAction("CopyButton", "3");
  ConfigureScanner(setup_);
  HandOver(Request(kCopyEvent));
  ASSERT_TRUE(CloseDialog(pelora_.WaitForOwnWindow("#32770")));
  EXPECT_EQ(ScannerLog(), kScanWithoutDialog);
  EXPECT_TRUE(WaitUntilShown(setup_));
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<uint8_t> bytes = ReadBytes(job);
    const std::string text(bytes.begin(), bytes.end());
    return text.find("%%Page: 1 1") != std::string::npos && text.find("%%EOF") != std::string::npos;
  }));
  DeleteFileA(job.c_str());

  // While a page is awaited the user pastes (a new picture record) and presses again: the
  // second press is refused, and the page arrives while the refusal is shown.
  SetAction("ScanButton", "2");
  ConfigureScanner(other, "Hold=1\r\n");
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntil([&] { return ScannerLogHas("ENABLEDS 0 0"); })) << Joined(ScannerLog());
  pelora_.Command(ID_EDIT_COPY);
  pelora_.Command(ID_EDIT_PASTE);
  HandOver(Request(kScanEvent), [&] {
    HWND box = pelora_.WaitForOwnWindow("#32770");
    EXPECT_EQ(BoxText(box), "TWAIN(Pelo): スキャン中です．終わってからもう一度操作してください．");
    PressButton(FindWindowA("VirtualScannerDialog", nullptr), kScanButton);
    EXPECT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
    CloseDialog(box);
  });
  EXPECT_TRUE(WaitUntilShown(other));
  EXPECT_EQ(CaptureClient(pelora_.View()).width, other.width);
  EXPECT_EQ(ScannerLog(), kScanWithoutDialog);

  // Only "連番保存" takes every page of the feeder, each into a file of the series.
  ScannerSetup feeder = setup_;
  feeder.pages = 3;
  ConfigureScanner(feeder);
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  EXPECT_EQ(ScannerLog(),
            (Log{"OPENDS", "ENABLEDS 0 0", "XFER 0", "ENDXFER", "RESET", "DISABLEDS", "CLOSEDS"}));
  pelora_.PostCommand(ID_SERIES_SETTINGS);
  HWND series = pelora_.WaitForDialog("連番保存設定");
  SetDlgItemTextA(series, IDC_SERIES_PATH, folder_.Path("page.bmp").c_str());
  SetDlgItemTextA(series, IDC_SERIES_NUMBER, "9");
  ASSERT_TRUE(CloseDialog(series));
  SetAction("ScanButton", "4");
  ConfigureScanner(feeder);
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntil([&] { return FileExists(folder_.Path("page11.bmp")); }));
  ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
  for (int page = 0; page < 3; ++page) {
    EXPECT_TRUE(
        FileHoldsPage(folder_.Path("page" + std::to_string(9 + page) + ".bmp"), feeder, page));
  }
  EXPECT_FALSE(FileExists(folder_.Path("page12.bmp")));
  EXPECT_TRUE(WaitUntilShown(feeder, 2));
  EXPECT_FALSE(ScannerLogHas("RESET"));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "SeriesSave", "SeriesNo"), 12);
}

TEST_F(Scanning, RequestsNamingADeviceAtStart) {
  const std::string longName = "Pelora Virtual Scanner Model 2000 Professional";
  const std::string unknown = "{B0000000-0000-0000-0000-000000000000}";
  const std::string justKey = std::string("CMD:TWAIN\\") + kDeviceKey;
  const struct {
    const char* description;  // of the device; null: none written
    const char* settings;
    std::string request, message, title;
  } cases[] = {// An action that is none of the list is registered anew.
               {"Pelora Virtual Scanner", "[EVENT]\r\nScanButton=7\r\n", Request(kScanEvent),
                "イベントを登録しました: ScanButton", kTitle},
               // Without an event the request only chooses the source, and writes nothing.
               {"Pelora Virtual Scanner", nullptr, justKey, "<none>", kTitle},
               {nullptr, nullptr, "CMD:TWAIN\\" + std::string(466, 'k'),
                "エラー: デバイスキーが長すぎます", "TWAIN機器 Pelora"},
               // A long description finds the source by what fits; its action runs.
               {longName.c_str(), "[EVENT]\r\nScanButton=2\r\n", Request(kScanEvent), "<none>",
                "TWAIN機器:" + longName + " Pelora"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    const bool scans = c.description != nullptr && longName == c.description;
    DeleteFileA(pelora_.SettingsPath().c_str());
    if (c.settings != nullptr) WriteSettings(pelora_.SettingsPath(), c.settings);
    if (c.description != nullptr) WriteScanner(c.description);
    ConfigureScanner(setup_, scans ? "ProductName=" + longName + "\r\n" : "");
    ASSERT_TRUE(pelora_.Start(c.request, false));
    EXPECT_EQ(pelora_.AnswerMessageBox(c.message == "<none>" ? 500 : 10000), c.message);
    ASSERT_TRUE(pelora_.WaitForMainWindow());
    EXPECT_EQ(pelora_.Title(), c.title);
    EXPECT_EQ(FileExists(pelora_.SettingsPath()), c.settings != nullptr);
    if (c.settings != nullptr && c.message != "<none>") {
      EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "EVENT", "ScanButton"), 0);
      // No subkey names this event: its identifier is the key.
      HandOver(Request(unknown), [&] {
        EXPECT_EQ(pelora_.AnswerMessageBox(), "イベントを登録しました: " + unknown);
      });
    }
    if (scans) {
      ASSERT_TRUE(WaitUntilScannerClosed()) << Joined(ScannerLog());
      EXPECT_TRUE(WaitUntilShown(setup_));
    } else {
      EXPECT_TRUE(ScannerLog().empty());
    }
    EXPECT_EQ(pelora_.Close(), 0u);
    TearDown();
  }

  // A device without a description is chosen in the selection dialog.
  WriteDevice("", {{"0000", kScanEvent, "ScanButton"}});
  ASSERT_TRUE(pelora_.Start(justKey, false));
  ASSERT_TRUE(CloseDialog(pelora_.WaitForOwnWindow("#32770"), IDCANCEL));
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(pelora_.Title(), "TWAIN機器 Pelora");
  EXPECT_EQ(pelora_.Close(), 0u);
}
