#include <gtest/gtest.h>

#include <functional>

#include "shell/resource.h"
#include "tests/e2e/scanner_fixture.h"
#include "tests/e2e/test_printer.h"

namespace {

const char kScanEvent[] = "{A1000001-0000-0000-0000-00000000000A}";
const char kCopyEvent[] = "{A1000002-0000-0000-0000-00000000000B}";

class ScannerButton : public ScannerTest {
 protected:
  void WriteScanner(const std::string& description = "Pelora Virtual Scanner") {
    WriteDevice(description,
                {{"0000", kScanEvent, "ScanButton"}, {"0001", kCopyEvent, "CopyButton"}});
  }

  static std::string Request(const std::string& eventId) {
    return std::string("CMD:TWAIN\\") + kDeviceKey + " " + eventId;
  }

  // Hands a request to the running window as a second start does; `answer` is called while
  // the second start waits for the hand-off to finish.
  void PressButton(
      const std::string& eventId, const std::function<void()>& answer = [] {}) {
    PeloraProgram second(folder_);
    ASSERT_TRUE(second.Start(Request(eventId), false));
    answer();
    EXPECT_EQ(second.WaitForExit(), 0u);
  }

  int EventAction(const char* name) {
    return SettingsInt(pelora_.SettingsPath(), "EVENT", name, -100);
  }
};

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

TEST_F(ScannerButton, FirstPressRegistersTheEventThenTheAssignedActionRuns) {
  WriteScanner();
  ASSERT_TRUE(pelora_.Start(Request(Lowercase(kScanEvent)), false));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "イベントを登録しました: ScanButton");
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(pelora_.Title(), "TWAIN機器:Pelora Virtual Scanner Pelora");
  EXPECT_EQ(EventAction("ScanButton"), 0);
  EXPECT_TRUE(ScannerLog().empty());

  // Registered events do nothing until an action is assigned.
  PressButton(kScanEvent);
  pelora_.Settle();
  EXPECT_EQ(pelora_.WaitForOwnWindow("#32770", 500), nullptr);
  EXPECT_TRUE(ScannerLog().empty());

  // "簡易スキャン" chosen in the settings dialog: a scan without the source's dialog.
  pelora_.PostCommand(ID_EDIT_SETTINGS);
  HWND settings = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(settings, nullptr);
  HWND actions = GetDlgItem(settings, IDC_ACTION_LIST);
  SendMessageA(actions, CB_SETCURSEL, 2, 0);
  SendMessageA(settings, WM_COMMAND, MAKEWPARAM(IDC_ACTION_LIST, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(actions));
  PostMessageA(settings, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  EXPECT_EQ(EventAction("ScanButton"), 2);

  PressButton(kScanEvent);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(ScannerLogHas("ENABLEDS 0 0"));
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_EQ(pelora_.Title(), "TWAIN機器:Pelora Virtual Scanner Pelora");

  // "スキャン": the source's own dialog.
  WritePrivateProfileStringA("EVENT", "ScanButton", "1", pelora_.SettingsPath().c_str());
  ScannerSetup other = setup_;
  other.width = 130;
  ConfigureScanner(other);
  PressButton(kScanEvent);
  HWND dialog = WaitForScannerDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(ScannerLogHas("ENABLEDS 1 1"));
  PressScannerButton(dialog, kScanButton);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, other));

  // "印刷": the page is scanned without a dialog, shown, and printed through the print dialog.
  const std::string unixJob = "/tmp/pelora-scan-print-" + std::to_string(GetCurrentProcessId());
  std::string job = "Z:" + unixJob;
  for (char& c : job) c = c == '/' ? '\\' : c;
  DeleteFileA(job.c_str());
  ASSERT_TRUE(InstallTestPrinter(unixJob));
  WritePrivateProfileStringA("EVENT", "CopyButton", "3", pelora_.SettingsPath().c_str());
  ConfigureScanner(setup_);
  PressButton(kCopyEvent);
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(ScannerLogHas("ENABLEDS 0 0"));
  HWND print = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(print, nullptr);
  PostMessageA(print, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print); }));
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<uint8_t> bytes = ReadBytes(job);
    const std::string text(bytes.begin(), bytes.end());
    return text.find("%%Page: 1 1") != std::string::npos && text.find("%%EOF") != std::string::npos;
  }));
  DeleteFileA(job.c_str());
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, SeriesSaveStoresEveryPageOfTheFeeder) {
  WriteScanner();
  const std::string model = folder_.Path("page.bmp");
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nScanButton=4\r\n[SeriesSave]\r\nSeriesFile=" +
                                            model + "\r\nSeriesNo=9\r\n");
  ScannerSetup feeder = setup_;
  feeder.pages = 3;
  ConfigureScanner(feeder);
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent)));
  ASSERT_TRUE(WaitUntil([&] { return FileExists(folder_.Path("page11.bmp")); }));
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(FileHoldsPage(folder_.Path("page9.bmp"), feeder, 0));
  EXPECT_TRUE(FileHoldsPage(folder_.Path("page10.bmp"), feeder, 1));
  EXPECT_TRUE(FileHoldsPage(folder_.Path("page11.bmp"), feeder, 2));
  EXPECT_FALSE(FileExists(folder_.Path("page12.bmp")));
  EXPECT_TRUE(WaitUntilShown(pelora_, feeder, 2));
  EXPECT_FALSE(ScannerLogHas("RESET"));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "SeriesSave", "SeriesNo", -1), 12);
}

TEST_F(ScannerButton, OnlySeriesSaveTakesFurtherPages) {
  WriteScanner();
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nScanButton=2\r\n");
  ScannerSetup feeder = setup_;
  feeder.pages = 3;
  ConfigureScanner(feeder);
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent)));
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_EQ(ScannerLog(), (std::vector<std::string>{"OPENDS", "ENABLEDS 0 0", "XFER 0", "ENDXFER",
                                                    "RESET", "DISABLEDS", "CLOSEDS"}));
  EXPECT_TRUE(WaitUntilShown(pelora_, feeder, 0));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, WhileAPageIsAwaitedThePictureMayChangeAndPressesAreRefused) {
  WriteScanner();
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nScanButton=2\r\n");
  ConfigureScanner(setup_, "Hold=1\r\n");
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent)));
  ASSERT_TRUE(WaitUntil([&] { return ScannerLogHas("ENABLEDS 0 0"); })) << ScannerLogText();
  pelora_.Command(ID_EDIT_COPY);
  pelora_.Command(ID_EDIT_PASTE);  // a new picture record

  // The page arrives while the refusal of a second press is shown.
  PressButton(kScanEvent, [&] {
    HWND box = pelora_.WaitForOwnWindow("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box) + ": " + MessageBoxText(box),
              "TWAIN(Pelo): スキャン中です．終わってからもう一度操作してください．");
    PressScannerButton(FindWindowA("VirtualScannerDialog", nullptr), kScanButton);
    EXPECT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
    CloseWithOk(box);
  });
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_EQ(CaptureClient(pelora_.View()).width, setup_.width);
  EXPECT_EQ(ScannerLog(), (std::vector<std::string>{"OPENDS", "ENABLEDS 0 0", "XFER 0", "ENDXFER",
                                                    "DISABLEDS", "CLOSEDS"}));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, UnusableActionsAndUnknownEventsAreRegisteredAnew) {
  WriteScanner();
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nScanButton=7\r\n");
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent), false));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "イベントを登録しました: ScanButton");
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(EventAction("ScanButton"), 0);

  // No subkey names this event: its identifier is the key.
  PressButton("{B0000000-0000-0000-0000-000000000000}", [&] {
    EXPECT_EQ(pelora_.AnswerMessageBox(),
              "イベントを登録しました: {B0000000-0000-0000-0000-000000000000}");
  });
  EXPECT_EQ(EventAction("{B0000000-0000-0000-0000-000000000000}"), 0);
  EXPECT_TRUE(ScannerLog().empty());
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, ARequestWithoutEventOnlyChoosesTheSource) {
  WriteScanner();
  ASSERT_TRUE(pelora_.Start(std::string("CMD:TWAIN\\") + kDeviceKey));
  EXPECT_EQ(pelora_.Title(), "TWAIN機器:Pelora Virtual Scanner Pelora");
  EXPECT_EQ(pelora_.WaitForOwnWindow("#32770", 500), nullptr);
  EXPECT_TRUE(ScannerLog().empty());
  EXPECT_FALSE(FileExists(pelora_.SettingsPath()));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, ADeviceWithoutDescriptionIsChosenInTheSelectionDialog) {
  WriteDevice("", {{"0000", kScanEvent, "ScanButton"}});
  ASSERT_TRUE(pelora_.Start(std::string("CMD:TWAIN\\") + kDeviceKey, false));
  HWND chooser = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(chooser, nullptr);
  PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(pelora_.Title(), "TWAIN機器 Pelora");
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, ALongDescriptionFindsTheSourceByWhatFits) {
  const std::string longName = "Pelora Virtual Scanner Model 2000 Professional";
  WriteScanner(longName);
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nScanButton=2\r\n");
  ConfigureScanner(setup_, "ProductName=" + longName + "\r\n");
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent)));
  EXPECT_EQ(pelora_.Title(), "TWAIN機器:" + longName + " Pelora");
  ASSERT_TRUE(WaitUntilScannerClosed()) << ScannerLogText();
  EXPECT_TRUE(WaitUntilShown(pelora_, setup_));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScannerButton, ATooLongDeviceKeyIsRefused) {
  ASSERT_TRUE(pelora_.Start("CMD:TWAIN\\" + std::string(466, 'k'), false));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: デバイスキーが長すぎます");
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(pelora_.Title(), "TWAIN機器 Pelora");
  EXPECT_TRUE(ScannerLog().empty());
  EXPECT_FALSE(FileExists(pelora_.SettingsPath()));
  EXPECT_EQ(pelora_.Close(), 0u);
}
