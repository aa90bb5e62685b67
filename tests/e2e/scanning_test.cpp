// Scanning as a user does it: the virtual scanner installed where Wine's source manager looks
// for its sources, set up through the file beside it, and the scanner device keys that the
// still-image service would have written.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <algorithm>

#include "adjust/adjust_ids.h"
#include "core/image_loader.h"
#include "shell/resource.h"
#include "shell/view_geometry.h"
#include "tests/e2e/pelora_driver.h"
#include "tests/fixtures/virtual_scanner/scanned_page.h"
#include "tests/win/pixels.h"
#include "vqi/vqi_export_ids.h"

namespace {

const char kScanWithoutDialog[] = "OPENDS ENABLEDS 0 0 XFER 0 ENDXFER DISABLEDS CLOSEDS ";
const char kClosedDialog[] = "OPENDS ENABLEDS 1 1 DISABLEDS CLOSEDS ";
const char kDeviceKey[] = "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\9042";
const char kClassPath[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
const char kScanEvent[] = "{A1000001-0000-0000-0000-00000000000A}";
const ScannerSetup kPage = {160, 120};
const char kTitle[] = "TWAIN機器:Pelora Virtual Scanner Pelora";
const char kBusy[] = "TWAIN(Pelo): スキャン中です．終わってからもう一度操作してください．";
const char kRegistrationKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\StillImage\\Registered Applications";

// Wine's source manager loads its sources from this folder, by these names.
std::string SourceFolder() {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows) + (sizeof(void*) == 8 ? "\\twain_64\\" : "\\twain_32\\");
}

HKEY CreateKey(HKEY parent, const std::string& path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY key = nullptr;
  RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr);
  return key;
}

void SetString(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

// The still-image registration as the 64-bit service reads it (a 32-bit program's own view
// of the key is another one).
std::string Registration() {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kRegistrationKey, KEY_QUERY_VALUE | KEY_WOW64_64KEY);
  char value[1024];
  DWORD size = sizeof value;
  const LSTATUS found =
      RegGetValueA(key, nullptr, "PeloraApp", RRF_RT_REG_SZ, nullptr, value, &size);
  RegCloseKey(key);
  return found == ERROR_SUCCESS ? value : "<none>";
}

// "D:(D;;0x6;;;WD)(A;;KA;;;WD)": nobody may set values in the key, as for a user without
// administrator rights; "D:(A;;KA;;;WD)": everybody may.
void SetRegistrationKeyAccess(const char* descriptor) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kRegistrationKey, WRITE_DAC | KEY_WOW64_64KEY);
  PSECURITY_DESCRIPTOR access = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &access,
                                                       nullptr);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, access);
  LocalFree(access);
  RegCloseKey(key);
}

class Scanning : public ViewerTest {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryA(SourceFolder().c_str(), nullptr);
    CopyFileA(BuiltFile("tests\\fixtures\\virtual_scanner\\VirtualScanner.ds").c_str(),
              (SourceFolder() + "sane.ds").c_str(), FALSE);
    // Our file, not a Wine source of the same name, is the one to load.
    HKEY overrides = CreateKey(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides");
    SetString(overrides, "sane.ds", "native");
    RegCloseKey(overrides);
  }
  void SetUp() override { ConfigureScanner(kPage); }
  void TearDown() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kClassPath) + kDeviceKey).c_str());
    DeleteFileA((SourceFolder() + "VirtualScanner.ini").c_str());
  }

  // Writes the scanner's settings (`extra`: further "Key=value" lines) and empties its log.
  static void ConfigureScanner(const ScannerSetup& setup, const std::string& extra = "") {
    WriteSettings(SourceFolder() + "VirtualScanner.ini",
                  "[Scanner]\r\nWidth=" + std::to_string(setup.width) + "\r\nHeight=" +
                      std::to_string(setup.height) + "\r\nPages=" + std::to_string(setup.pages) +
                      "\r\nTopDown=" + std::to_string(setup.topDown) +
                      "\r\nDpi=" + std::to_string(setup.dpi) + "\r\n" + extra + "\r\n");
    DeleteFileA((SourceFolder() + "VirtualScanner.log").c_str());
  }

  // What reached the scanner so far, each operation followed by a blank.
  static std::string ScannerLog() {
    const std::vector<uint8_t> bytes = ReadBytes(SourceFolder() + "VirtualScanner.log");
    return std::string(bytes.begin(), bytes.end());
  }
  static bool ScannerLogHas(const std::string& line) {
    return ScannerLog().find(line) != std::string::npos;
  }
  static bool WaitUntilScannerClosed(DWORD ms = 10000) {
    return WaitUntil([] { return ScannerLogHas("CLOSEDS"); }, ms);
  }

  // Waits until the view shows `page` as the scanner delivered it, at 1:1 (of a page larger
  // than the view, the part that shows).
  bool WaitUntilShown(const ScannerSetup& setup, int page = 0) const {
    return WaitUntil([&] {
      const ScreenPixels view = CaptureClient(pelora_.View());
      const ViewRect shown =
          ActualSizePictureRect({setup.width, setup.height}, {view.width, view.height});
      for (int y = 0; y < std::min(setup.height, view.height - shown.top); ++y) {
        for (int x = 0; x < std::min(setup.width, view.width - shown.left); ++x) {
          if (view.At(shown.left + x, shown.top + y) != ScannedColor(page, x, y)) return false;
        }
      }
      return true;
    });
  }
  // True when the picture file loads as `page`.
  static bool FileHoldsPage(const std::string& path, const ScannerSetup& setup, int page = 0) {
    ImageBuffer image = {};
    bool same = LoadImageFile(&image, path.c_str()) && image.width == setup.width &&
                image.height == setup.height;
    for (int y = 0; same && y < setup.height; ++y) {
      for (int x = 0; same && x < setup.width; ++x) {
        same = PixelAt(image, x, y) == ScannedColor(page, x, y);
      }
    }
    FreeImageBuffer(&image);
    return same;
  }

  // What the host's tools find in a PDF the program wrote: a sound file of `pages` pages,
  // titled and sized as a 300-dpi A4 scan, its colour pages encoded as `encoding` ("jpeg", or
  // "image" for lossless ones, which hold exactly the scanner's page `first` + n unless
  // `first` is -1), their pictures extracted beside it.
  static void ExpectScannedPdf(const std::string& path, int pages, const std::string& title,
                               const std::string& encoding, int first = 0) {
    SCOPED_TRACE(path);
    const std::string file = HostPath(path);
    EXPECT_EQ(RunOnHost("qpdf --check " + file + " >/dev/null && echo sound"), "sound\n");
    std::string info = title;
    info.append("\n").append(std::to_string(pages)).append("\n595.179 x 841.89 pts (A4)\n");
    EXPECT_EQ(RunOnHost("pdfinfo " + file + " | sed -n 's/^\\(Title\\|Pages\\|Page size\\): *//p'"),
              info);
    std::string list;
    for (int page = 1; page <= pages; ++page)
      list += std::to_string(page) + " 2480 3508 rgb " + encoding + "\n";
    EXPECT_EQ(RunOnHost("pdfimages -list " + file + " | awk 'NR > 2 {print $1, $4, $5, $6, $9}'"),
              list);
    const std::string pictures = path.substr(0, path.rfind('.'));
    RunOnHost("pdfimages -png " + file + " " + HostPath(pictures));
    for (int page = 0; encoding == "image" && first >= 0 && page < pages; ++page) {
      char name[16];
      snprintf(name, sizeof name, "-%03d.png", page);
      EXPECT_TRUE(FileHoldsPage(pictures + name, {2480, 3508}, first + page)) << name;
    }
  }

  // Hands a request to the running window as a second start does; `answer` is called while
  // the second start waits for the hand-off to finish.
  void HandOver(
      const std::string& request, const std::function<void()>& answer = [] {}) {
    PeloraProgram second(folder_);
    ASSERT_TRUE(second.Start(request, false));
    answer();
    EXPECT_EQ(second.WaitForExit(), 0u);
  }

  // Presses `button` (1 Scan, 2 Close) in the source's dialog, once the source was enabled
  // as `enabled` says.
  void ScanInSourceDialog(const char* enabled = "ENABLEDS 1 1", int button = 1) {
    HWND dialog = pelora_.WaitForOwnWindow("VirtualScannerDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ScannerLogHas(enabled)) << ScannerLog();
    PressButton(dialog, button);
  }
  // Acquires through the menu, the window disabled while the source's dialog shows.
  void AcquireWithDialog(int button = 1) {
    pelora_.PostCommand(ID_TWAIN_ACQUIRE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(pelora_.Window()); }));
    ScanInSourceDialog("ENABLEDS 1 1", button);
  }
};

std::string Request(const std::string& eventId) {
  return std::string("CMD:TWAIN\\") + kDeviceKey + " " + eventId;
}

// The scanner device and its button as the still-image service records them.
void RecordScannerDevice() {
  HKEY device = CreateKey(HKEY_LOCAL_MACHINE, std::string(kClassPath) + kDeviceKey);
  SetString(device, "DriverDesc", "Pelora Virtual Scanner");
  HKEY event = CreateKey(device, "Events\\0000");
  SetString(event, "GUID", kScanEvent);
  SetString(event, nullptr, "ScanButton");
  RegCloseKey(event);
  RegCloseKey(device);
}

}  // namespace

TEST_F(Scanning, RequestsMenuAndFailures) {
  ASSERT_TRUE(pelora_.Start());
  // A request handed over scans without the source's dialog, but a source that cannot hide
  // it shows it all the same (TWRC_CHECKSTATUS) and scans.
  ScannerSetup shown = {130, 90, 1, true};
  ConfigureScanner(shown, "NeedsDialog=1");
  HandOver("CMD:TWAIN");
  ScanInSourceDialog("ENABLEDS 0 0");
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_TRUE(WaitUntilShown(shown));

  // Through the menu, with the source's dialog: a failed transfer is reported and changes
  // nothing. A page over 2^28 pixels is refused; one of 2^28 has no room in the 2 GB of the
  // 32-bit release (its 24-bit copy and the system's conversion bitmap take 805 MB each).
  const struct {
    ScannerSetup page;
    const char* result;
    const char* message;
  } failures[] = {{kPage, "fail", "TWAIN(Pelo): 転送エラー"},
                  {kPage, "cancel", "TWAIN(Pelo): キャンセルされました"},
                  {{16385, 16384}, "blank", "TWAIN(Pelo): 転送エラー"},
                  {{16384, 16384}, "blank", "TWAIN(Pelo): 転送エラー"}};
  for (const auto& c : failures) {
    SCOPED_TRACE(c.result);
    if (c.page.width == 16384 && sizeof(void*) == 8) continue;  // a 64-bit process takes it
    ConfigureScanner(c.page, std::string("Result=") + c.result);
    AcquireWithDialog();
    EXPECT_EQ(pelora_.AnswerMessageBox(), c.message);
    ASSERT_TRUE(WaitUntilScannerClosed(60000)) << ScannerLog();  // slow in emulation
    EXPECT_TRUE(WaitUntilShown(shown));
  }

  // Closed in its own dialog, or by closing the window, the source is closed and scans
  // nothing.
  ConfigureScanner(kPage);
  AcquireWithDialog(2);
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_EQ(ScannerLog(), kClosedDialog);
  EXPECT_TRUE(WaitUntilShown(shown));
  ConfigureScanner(kPage);
  pelora_.PostCommand(ID_TWAIN_ACQUIRE);
  ASSERT_NE(pelora_.WaitForOwnWindow("VirtualScannerDialog"), nullptr);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(ScannerLog(), kClosedDialog);
}

// A 600-dpi A4 colour page (104 MB at 24 bits) goes every way a page goes, within the 2 GB of
// the 32-bit release: scanned, shown, saved as BMP and as VQI, turned, and read back.
TEST_F(Scanning, FullSizePageScansShowsSavesAndTurns) {
  const ScannerSetup a4 = {4960, 7016};
  ConfigureScanner(a4);
  ASSERT_TRUE(pelora_.Start("CMD:TWAIN"));
  ASSERT_TRUE(WaitUntilScannerClosed(60000));
  EXPECT_TRUE(WaitUntilShown(a4));
  EXPECT_EQ(pelora_.Title(), "TWAIN機器 Pelora");

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
    EXPECT_EQ(turned.At(c, r), ScannedColor(0, r, a4.height - 1 - c)) << c << ", " << r;
  }
  pelora_.OpenByDropping(folder_.Path("a4.vqi"));
  EXPECT_TRUE(WaitUntilShown(a4));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Scanning, ScannerButtonsRegisterThenRunTheirActions) {
  RecordScannerDevice();
  ASSERT_TRUE(pelora_.Start(Request("{a1000001-0000-0000-0000-00000000000a}"), false));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "イベントを登録しました: ScanButton");
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  EXPECT_EQ(pelora_.Title(), kTitle);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "EVENT", "ScanButton"), 0);
  HandOver(Request(kScanEvent));  // registered, no action yet: nothing happens
  EXPECT_EQ(pelora_.AnswerMessageBox(500), "<none>");
  EXPECT_TRUE(ScannerLog().empty());

  // "簡易スキャン" chosen in the settings dialog (its scan: the test further down), with the
  // still-image registration; the unquoted one written before is rewritten.
  HKEY registration =
      CreateKey(HKEY_LOCAL_MACHINE, kRegistrationKey, KEY_SET_VALUE | KEY_WOW64_64KEY);
  SetString(registration, "PeloraApp", pelora_.ExePath() + " CMD:TWAIN\\%1 %2");
  RegCloseKey(registration);
  pelora_.PostCommand(ID_EDIT_SETTINGS);
  HWND settings = pelora_.WaitForDialog("設定");
  ChooseItem(settings, IDC_ACTION_LIST, 2);
  SendDlgItemMessageA(settings, IDC_REGISTER_APP, BM_SETCHECK, BST_CHECKED, 0);
  ASSERT_TRUE(CloseDialog(settings));
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "EVENT", "ScanButton"), 2);
  EXPECT_EQ(Registration(), Quoted(pelora_.ExePath()) + " CMD:TWAIN\\%1 %2");

  // While the source manager's selection dialog shows, a button, a scan from the menu and
  // closing the window are refused; the source chosen there scans at the next press.
  pelora_.PostCommand(ID_TWAIN_SELECT);
  HWND select = pelora_.WaitForDialog("ソースの選択");
  HandOver(Request(kScanEvent),
           [&] { EXPECT_EQ(pelora_.AnswerMessageBox(10000, "TWAIN(Pelo)"), kBusy); });
  for (const UINT message : {WM_COMMAND, WM_CLOSE}) {
    PostMessageA(pelora_.Window(), message, ID_TWAIN_ACQUIRE, 0);
    EXPECT_EQ(pelora_.AnswerMessageBox(10000, "TWAIN(Pelo)"), kBusy);
  }
  ASSERT_TRUE(CloseDialog(select));
  ConfigureScanner(kPage);
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_EQ(ScannerLog(), kScanWithoutDialog);

  // Without the right to change the key, what is already so needs none; a change is refused
  // with what it takes. With the right, the registration is removed, and then needs no change.
  for (const auto& [restricted, check] : {std::pair{true, BST_CHECKED},
                                          {true, BST_UNCHECKED},
                                          {false, BST_UNCHECKED},
                                          {false, BST_UNCHECKED}}) {
    SetRegistrationKeyAccess(restricted ? "D:(D;;0x6;;;WD)(A;;KA;;;WD)" : "D:(A;;KA;;;WD)");
    pelora_.PostCommand(ID_EDIT_SETTINGS);
    settings = pelora_.WaitForDialog("設定");
    SendDlgItemMessageA(settings, IDC_REGISTER_APP, BM_SETCHECK, check, 0);
    PressButton(settings, IDOK);
    const bool refused = restricted && check == BST_UNCHECKED;
    HWND box = pelora_.WaitForOwnWindow("#32770", refused ? 10000 : 1000, "エラー");
    EXPECT_EQ(box == nullptr ? "<none>" : BoxText(box),
              refused ? "エラー: Windowsへの登録を変更するには管理者権限が必要です．" : "<none>");
    if (box != nullptr) CloseDialog(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  }
  EXPECT_EQ(Registration(), "<none>");

  // "スキャン": the source's own dialog.
  WritePrivateProfileStringA("EVENT", "ScanButton", "1", pelora_.SettingsPath().c_str());
  const ScannerSetup other = {130, 120, 1, true};
  ConfigureScanner(other);
  HandOver(Request(kScanEvent));
  ScanInSourceDialog();
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_TRUE(WaitUntilShown(other));

  // "印刷": the page, once shown, goes to the printer chosen in the print dialog. Pressed while
  // the resize dialog is open, whose OK comes during the print dialog, the page is printed
  // as resized.
  const std::string job =
      InstallTestPrinter("/tmp/pelora-scan-" + std::to_string(GetCurrentProcessId()) + ".ps");
  WritePrivateProfileStringA("EVENT", "ScanButton", "3", pelora_.SettingsPath().c_str());
  ConfigureScanner(kPage);
  pelora_.PostCommand(ID_EDIT_RESIZE);
  HWND resize = pelora_.WaitForDialog("リサイズ");
  HandOver(Request(kScanEvent));
  HWND print = pelora_.WaitForDialog("印刷");
  SendDlgItemMessageA(resize, IDC_RESIZE_KEEP_RATIO, BM_SETCHECK, BST_UNCHECKED, 0);
  SetDlgItemTextA(resize, IDC_RESIZE_WIDTH, "100");
  SetDlgItemTextA(resize, IDC_RESIZE_HEIGHT, "300");
  PressButton(resize, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(resize); }));
  ASSERT_TRUE(CloseDialog(print));
  EXPECT_NE(TakePrintJob(job).find(PrintedScale(100, 300)), std::string::npos);

  // While a page is awaited the user asks for another scan from the menu, pastes (a new
  // picture record) and presses again: every request is refused, and the page arrives while
  // the refusal is shown.
  WritePrivateProfileStringA("EVENT", "ScanButton", "2", pelora_.SettingsPath().c_str());
  ConfigureScanner(other, "Hold=1");
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntil([&] { return ScannerLogHas("ENABLEDS 0 0"); }));
  for (UINT command : {ID_TWAIN_ACQUIRE, ID_TWAIN_SELECT}) {
    pelora_.PostCommand(command);
    EXPECT_EQ(pelora_.AnswerMessageBox(), kBusy);
  }
  pelora_.Command(ID_EDIT_COPY);
  pelora_.Command(ID_EDIT_PASTE);
  HandOver(Request(kScanEvent), [&] {
    HWND box = pelora_.WaitForOwnWindow("#32770");
    EXPECT_EQ(BoxText(box), kBusy);
    PressButton(FindWindowA("VirtualScannerDialog", nullptr), 1);
    EXPECT_TRUE(WaitUntilScannerClosed());
    CloseDialog(box);
  });
  EXPECT_TRUE(WaitUntilShown(other));
  EXPECT_EQ(CaptureClient(pelora_.View()).width, other.width);
  EXPECT_EQ(ScannerLog(), kScanWithoutDialog);

  // Only "連番保存" takes every page of the feeder, each into a file of the series, in the
  // format the model path's ending names, with the resolution the scanner says it scans at
  // (300 × 150 dpi: 11811 × 5906 pixels a metre in the PNG files).
  ScannerSetup feeder = kPage;
  feeder.pages = 3;
  feeder.dpi = 300;
  ConfigureScanner(feeder);
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_EQ(ScannerLog(), "OPENDS ENABLEDS 0 0 XFER 0 ENDXFER RESET DISABLEDS CLOSEDS ");
  pelora_.PostCommand(ID_SERIES_SETTINGS);
  HWND series = pelora_.WaitForDialog("連番保存設定");
  SetDlgItemTextA(series, IDC_SERIES_PATH, folder_.Path("page.png").c_str());
  SetDlgItemTextA(series, IDC_SERIES_NUMBER, "9");
  ASSERT_TRUE(CloseDialog(series));
  WritePrivateProfileStringA("EVENT", "ScanButton", "4", pelora_.SettingsPath().c_str());
  // A page that cannot be saved (its file is read-only) is told, stays shown and ends the
  // batch; the number saved before it is stored at once.
  const std::string readOnly = folder_.Path("page10.png");
  WriteBytes(readOnly, {'o', 'l', 'd'});
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  ConfigureScanner(feeder);
  HandOver(Request(kScanEvent));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: 保存できませんでした．\n" + readOnly);
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_EQ(ScannerLog(),
            "OPENDS ENABLEDS 0 0 XFER 0 ENDXFER XFER 1 ENDXFER RESET DISABLEDS CLOSEDS ");
  EXPECT_TRUE(WaitUntilShown(feeder, 1));
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "SeriesSave", "SeriesNo"), 10);
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  ConfigureScanner(feeder);
  HandOver(Request(kScanEvent));
  ASSERT_TRUE(WaitUntil([&] { return FileExists(folder_.Path("page12.png")); }));
  ASSERT_TRUE(WaitUntilScannerClosed());
  for (int page = 0; page < 4; ++page) {
    const std::string path = folder_.Path("page" + std::to_string(9 + page) + ".png");
    const std::vector<uint8_t> png = ReadBytes(path);
    const std::string text(png.begin(), png.end());
    EXPECT_EQ(text.substr(1, 3), "PNG");
    EXPECT_EQ(text.substr(text.find("pHYs") + 4, 9), std::string("\0\0\x2E\x23\0\0\x17\x12\1", 9));
    EXPECT_TRUE(FileHoldsPage(path, feeder, page ? page - 1 : 0));
  }
  EXPECT_FALSE(FileExists(folder_.Path("page13.png")));
  EXPECT_TRUE(WaitUntilShown(feeder, 2));
  EXPECT_FALSE(ScannerLogHas("RESET"));

  // A settings file that cannot be written (held open: Wine lets its administrator write
  // read-only files) is told once: a new event is not announced as registered, closing tells
  // no more. The series number was stored with each page.
  HANDLE held = CreateFileA(pelora_.SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  HandOver(Request("{A1000001-0000-0000-0000-00000000000B}"), [&] {
    EXPECT_EQ(pelora_.AnswerMessageBox(),
              "エラー: 設定を保存できません．\n" + pelora_.SettingsPath());
  });
  EXPECT_EQ(pelora_.AnswerMessageBox(500), "<none>");
  EXPECT_EQ(pelora_.Close(), 0u);
  CloseHandle(held);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "SeriesSave", "SeriesNo"), 13);
}

// The scanner button's series save into a ".pdf" series: the pages of a feeder batch go into
// one document, a number a batch. A batch cut short keeps its pages and tells how many; one
// cut before its first page writes nothing; the menu's series save writes the picture shown.
TEST_F(Scanning, FeederBatchesGoIntoOnePdfEach) {
  RecordScannerDevice();
  const std::string model = folder_.Path("見積書.PDF");  // the ending in any case
  const auto document = [&](int number) {
    return folder_.Path("見積書" + std::to_string(number) + ".PDF");
  };
  const auto nextNumber = [&] {
    return SettingsInt(pelora_.SettingsPath(), "SeriesSave", "SeriesNo");
  };
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nScanButton=4\r\n[SeriesSave]\r\nSeriesFile=" +
                                            model + "\r\nSeriesNo=1\r\n");
  const ScannerSetup a4 = {2480, 3508, 3};  // 300 dpi
  ConfigureScanner(a4);
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent), false));
  ASSERT_TRUE(WaitUntil([&] { return nextNumber() == 2; }, 100000));
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  ASSERT_TRUE(WaitUntilScannerClosed());
  ExpectScannedPdf(document(1), 3, reinterpret_cast<const char*>(u8"見積書1"), "jpeg");

  // Colour written losslessly, as set in the settings file.
  WritePrivateProfileStringA("PeloraApp", "PdfLossless", "1", pelora_.SettingsPath().c_str());
  ConfigureScanner(a4, "Result=cancel\r\nResultAt=2");
  // The batch takes a while: the second start, which waits for it, ends once it is told.
  HandOver(Request(kScanEvent), [&] {
    EXPECT_EQ(pelora_.AnswerMessageBox(300000), "TWAIN(Pelo): キャンセルされました");
    EXPECT_EQ(pelora_.AnswerMessageBox(300000), "連番保存: スキャンが途中で終わりました．\n" +
                                                    document(2) + " に 2 ページを保存しました．");
  });
  EXPECT_EQ(nextNumber(), 3);
  ExpectScannedPdf(document(2), 2, reinterpret_cast<const char*>(u8"見積書2"), "image");

  ConfigureScanner(kPage, "Result=cancel");
  HandOver(Request(kScanEvent),
           [&] { EXPECT_EQ(pelora_.AnswerMessageBox(), "TWAIN(Pelo): キャンセルされました"); });
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_EQ(pelora_.AnswerMessageBox(500), "<none>");
  EXPECT_FALSE(FileExists(document(3)));

  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_EQ(nextNumber(), 4);
  ExpectScannedPdf(document(3), 1, reinterpret_cast<const char*>(u8"見積書3"), "image", -1);
  // The picture shown, the last page of the batch before (compared on the host: a sixth
  // full-size read through the imaging component fails now and then under Wine).
  EXPECT_EQ(RunOnHost("cmp " + HostPath(folder_.Path("見積書2-001.png")) + " " +
                      HostPath(folder_.Path("見積書3-000.png")) + " && echo same"),
            "same\n");
  // A document that cannot take the place of a read-only one is told; the old one stays.
  WriteBytes(document(4), {'o', 'l', 'd'});
  SetFileAttributesA(document(4).c_str(), FILE_ATTRIBUTE_READONLY);
  pelora_.PostCommand(ID_SERIES_SAVE);
  EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: 保存できませんでした．\n" + document(4));
  EXPECT_EQ(ReadBytes(document(4)), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(nextNumber(), 4);
  SetFileAttributesA(document(4).c_str(), FILE_ATTRIBUTE_NORMAL);

  // A series in a folder that is gone: the batch's first page is told and ends the batch.
  pelora_.PostCommand(ID_SERIES_SETTINGS);
  HWND series = pelora_.WaitForDialog("連番保存設定");
  SetDlgItemTextA(series, IDC_SERIES_PATH, folder_.Path("gone\\scan.pdf").c_str());
  ASSERT_TRUE(CloseDialog(series));
  ConfigureScanner({160, 120, 3});
  HandOver(Request(kScanEvent), [&] {
    EXPECT_EQ(pelora_.AnswerMessageBox(),
              "エラー: 保存できませんでした．\n" + folder_.Path("gone\\scan4.pdf"));
  });
  ASSERT_TRUE(WaitUntilScannerClosed());
  EXPECT_TRUE(ScannerLogHas("XFER 0 ENDXFER RESET")) << ScannerLog();
  EXPECT_EQ(nextNumber(), 4);
  EXPECT_EQ(pelora_.Close(), 0u);

  // Closed while a batch cut short is told, the document keeps the pages it received.
  WritePrivateProfileStringA("SeriesSave", "SeriesFile", model.c_str(),
                             pelora_.SettingsPath().c_str());
  ConfigureScanner({160, 120, 3}, "Result=cancel\r\nResultAt=2");
  ASSERT_TRUE(pelora_.Start(Request(kScanEvent), false));
  ASSERT_TRUE(pelora_.WaitForMainWindow());
  ASSERT_NE(pelora_.WaitForOwnWindow("#32770", 60000, "TWAIN(Pelo)"), nullptr);
  PostMessageA(pelora_.Window(), WM_CLOSE, 0, 0);  // the box goes with the window
  EXPECT_EQ(pelora_.WaitForExit(30000), 0u);
  EXPECT_EQ(RunOnHost("pdfinfo " + HostPath(document(4)) + " | sed -n 's/^Pages: *//p'"), "2\n");
}

// The still-image service starts the program by its registration as written now (quoted) or
// before (unquoted), raw, from a folder whose name holds Japanese characters and a blank: the
// press scans, on a first start and handed over to the running window alike.
TEST_F(Scanning, ScannerButtonFromAFolderOfAnyName) {
  RecordScannerDevice();
  const std::string folder = folder_.Path("ツール 山田"), exe = folder + "\\Pelora.exe";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(BuiltFile("shell\\Pelora.exe").c_str(), exe.c_str(), FALSE));
  WritePrivateProfileStringA("EVENT", "ScanButton", "2", (folder + "\\Pelora.ini").c_str());
  for (const std::string& name : {exe, Quoted(exe)}) {
    const std::string commandLine = name + " " + Request(kScanEvent);
    PeloraProgram button(folder), second(folder);
    ASSERT_TRUE(button.StartWithCommandLine(commandLine));
    EXPECT_TRUE(WaitUntilScannerClosed()) << name;
    EXPECT_TRUE(WaitUntil([&] { return button.Title() == kTitle; })) << button.Title();
    ConfigureScanner(kPage);
    ASSERT_TRUE(second.StartWithCommandLine(commandLine, false));
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_TRUE(WaitUntilScannerClosed()) << name << ", handed over";
    EXPECT_EQ(button.Close(), 0u);
    ConfigureScanner(kPage);
  }
}
