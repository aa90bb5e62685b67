#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include "core/bmp_format.h"
#include "shell/resource.h"
#include "tests/e2e/scanner_fixture.h"

namespace {

const char kRegistrationKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\StillImage\\Registered Applications";

// The registration value, or "<none>".
std::string Registration() {
  char value[1024];
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kRegistrationKey, "PeloraApp", RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return "<none>";
  }
  return value;
}

void RemoveRegistration() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRegistrationKey, 0, KEY_SET_VALUE, &key) == 0) {
    RegDeleteValueA(key, "PeloraApp");
    RegCloseKey(key);
  }
}

void SetRegistrationKeyAccess(const char* descriptor) {
  HKEY key;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRegistrationKey, 0, nullptr, 0, WRITE_DAC | KEY_WOW64_64KEY,
                  nullptr, &key, nullptr);
  PSECURITY_DESCRIPTOR access = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &access,
                                                       nullptr);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, access);
  LocalFree(access);
  RegCloseKey(key);
}

// While it lives, nobody may set values in the registration key, as for a user without
// administrator rights.
struct RegistrationKeyLocked {
  RegistrationKeyLocked() { SetRegistrationKeyAccess("D:(D;;0x6;;;WD)(A;;KA;;;WD)"); }
  ~RegistrationKeyLocked() { SetRegistrationKeyAccess("D:(A;;KA;;;WD)"); }
};

std::string ItemText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Read as UTF-16: that is how list texts cross from one process to another.
std::string ListItem(HWND dialog, int list, int index) {
  wchar_t wide[512] = L"";
  SendDlgItemMessageW(dialog, list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
  char text[1024] = "";
  WideCharToMultiByte(932, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

LRESULT Selected(HWND dialog, int list) {
  return SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0);
}

void Choose(HWND dialog, int list, int index) {
  HWND combo = GetDlgItem(dialog, list);
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

void SetCheck(HWND dialog, int id, bool checked) {
  SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) {
  return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class ScanDialogs : public ViewerTest {
 protected:
  void SetUp() override { RemoveRegistration(); }
  void TearDown() override { RemoveRegistration(); }

  HWND OpenDialog(UINT command) {
    pelora_.PostCommand(command);
    return pelora_.WaitForOwnWindow("#32770");
  }

  bool Finish(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, button, 0);
    const bool closed = WaitUntil([&] { return !IsWindow(dialog); });
    pelora_.Settle();
    return closed;
  }

  std::string Setting(const char* section, const char* key) {
    char value[512];
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value,
                             pelora_.SettingsPath().c_str());
    return value;
  }

  // True when the file is a 24-bit BMP of the white start picture.
  bool HoldsStartPicture(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    BmpLayout layout;
    if (!ParseBmpFile(bytes.data(), bytes.size(), &layout)) return false;
    const DibHeader& h = layout.info.header;
    if (h.biBitCount != 24 || h.biWidth != 320 || h.biHeight != 240) return false;
    for (size_t i = layout.pixelOffset; i < bytes.size(); ++i) {
      if (bytes[i] != 0xFF) return false;
    }
    return true;
  }
};

}  // namespace

TEST_F(ScanDialogs, SettingsListEventsInFileOrderAndStoreTheirActions) {
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nZButton=3\r\nAButton=1\r\nMButton=9\r\n");
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "設定");
  ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_EVENT_LIST, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ListItem(dialog, IDC_EVENT_LIST, 0), "ZButton");
  EXPECT_EQ(ListItem(dialog, IDC_EVENT_LIST, 1), "AButton");
  EXPECT_EQ(ListItem(dialog, IDC_EVENT_LIST, 2), "MButton");
  ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_ACTION_LIST, CB_GETCOUNT, 0, 0), 5);
  const char* labels[] = {"何もしない", "スキャン", "簡易スキャン", "印刷", "連番保存"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ListItem(dialog, IDC_ACTION_LIST, i), labels[i]);
  EXPECT_EQ(Selected(dialog, IDC_EVENT_LIST), 0);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), 3);

  Choose(dialog, IDC_EVENT_LIST, 1);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), 1);
  Choose(dialog, IDC_ACTION_LIST, 4);
  Choose(dialog, IDC_EVENT_LIST, 2);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), CB_ERR);  // 9 is no action of the list
  Choose(dialog, IDC_EVENT_LIST, 1);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), 4);
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_EQ(Setting("EVENT", "ZButton"), "3");
  EXPECT_EQ(Setting("EVENT", "AButton"), "4");
  EXPECT_EQ(Setting("EVENT", "MButton"), "9");
  EXPECT_EQ(Setting("PeloraApp", "WinSavePos"), "0");

  // Cancel drops what was chosen.
  dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  Choose(dialog, IDC_ACTION_LIST, 0);
  SetCheck(dialog, IDC_RESTORE_WINDOW, true);
  ASSERT_TRUE(Finish(dialog, IDCANCEL));
  EXPECT_EQ(Setting("EVENT", "ZButton"), "3");
  EXPECT_EQ(Setting("PeloraApp", "WinSavePos"), "0");
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScanDialogs, SettingsWithoutEventsStoreNoAction) {
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_EVENT_LIST, CB_GETCOUNT, 0, 0), 0);
  Choose(dialog, IDC_ACTION_LIST, 2);
  SetCheck(dialog, IDC_RESTORE_WINDOW, true);
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_EQ(Setting("PeloraApp", "WinSavePos"), "1");
  char names[64] = "";
  EXPECT_EQ(GetPrivateProfileSectionA("EVENT", names, sizeof names, pelora_.SettingsPath().c_str()),
            0u);

  dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsChecked(dialog, IDC_RESTORE_WINDOW));
  ASSERT_TRUE(Finish(dialog, IDCANCEL));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScanDialogs, SettingsRegisterAndRemoveTheStillImageApplication) {
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsChecked(dialog, IDC_REGISTER_APP));
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_EQ(Registration(), "<none>");

  dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  SetCheck(dialog, IDC_REGISTER_APP, true);
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_EQ(Registration(), pelora_.ExePath() + " CMD:TWAIN\\%1 %2");

  // Without the right to change the key, what is already so needs none; a change is refused
  // with what it takes.
  {
    RegistrationKeyLocked locked;
    ASSERT_TRUE(Finish(OpenDialog(ID_EDIT_SETTINGS), IDOK));
    dialog = OpenDialog(ID_EDIT_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    SetCheck(dialog, IDC_REGISTER_APP, false);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindWindowA("#32770", "エラー")) != nullptr; }));
    EXPECT_EQ(MessageBoxText(box), "Windowsへの登録を変更するには管理者権限が必要です．");
    CloseWithOk(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  dialog = OpenDialog(ID_EDIT_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsChecked(dialog, IDC_REGISTER_APP));
  SetCheck(dialog, IDC_REGISTER_APP, false);
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_EQ(Registration(), "<none>");
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScanDialogs, FirstSeriesSaveAsksForTheModelThenCountsOn) {
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_SERIES_SAVE);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "連番保存設定");
  EXPECT_EQ(ItemText(dialog, IDC_SERIES_PATH), "");
  EXPECT_EQ(ItemText(dialog, IDC_SERIES_NUMBER), "1");
  const std::string model = folder_.Path("scan.old.bmp");
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, model.c_str());
  SetDlgItemTextA(dialog, IDC_SERIES_NUMBER, "9");
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return FileExists(folder_.Path("scan.old9.bmp")); }));
  EXPECT_TRUE(HoldsStartPicture(folder_.Path("scan.old9.bmp")));
  EXPECT_EQ(Setting("SeriesSave", "SeriesFile"), model);

  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(HoldsStartPicture(folder_.Path("scan.old10.bmp")));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "11");

  // The next run continues the series.
  ASSERT_TRUE(pelora_.Start());
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(FileExists(folder_.Path("scan.old11.bmp")));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "12");
}

TEST_F(ScanDialogs, CancelledFirstSeriesSaveWritesNothing) {
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_SERIES_SAVE);
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("page.bmp").c_str());
  ASSERT_TRUE(Finish(dialog, IDCANCEL));
  EXPECT_FALSE(FileExists(folder_.Path("page1.bmp")));
  EXPECT_EQ(Setting("SeriesSave", "SeriesFile"), "<none>");
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "1");
}

TEST_F(ScanDialogs, SeriesNamesWithoutDotFromZeroAndAFailedWriteKeepsTheNumber) {
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_SERIES_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("page").c_str());
  SetDlgItemTextA(dialog, IDC_SERIES_NUMBER, "0");
  ASSERT_TRUE(Finish(dialog, IDOK));
  EXPECT_FALSE(FileExists(folder_.Path("page0")));  // the dialog alone saves nothing
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(HoldsStartPicture(folder_.Path("page0")));

  dialog = OpenDialog(ID_SERIES_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, IDC_SERIES_PATH), folder_.Path("page"));
  EXPECT_EQ(ItemText(dialog, IDC_SERIES_NUMBER), "1");
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("missing\\page.bmp").c_str());
  ASSERT_TRUE(Finish(dialog, IDOK));
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_FALSE(FileExists(folder_.Path("missing\\page1.bmp")));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "1");
}

TEST_F(ScanDialogs, NegativeNumbersFromTheSettingsKeepTheirSign) {
  WriteSettings(pelora_.SettingsPath(),
                "[SeriesSave]\r\nSeriesFile=" + folder_.Path("p.bmp") + "\r\nSeriesNo=-2\r\n");
  ASSERT_TRUE(pelora_.Start());
  pelora_.Command(ID_SERIES_SAVE);
  pelora_.Command(ID_SERIES_SAVE);
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(FileExists(folder_.Path("p-2.bmp")));
  EXPECT_TRUE(FileExists(folder_.Path("p-1.bmp")));
  EXPECT_TRUE(FileExists(folder_.Path("p0.bmp")));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "1");
}

TEST_F(ScanDialogs, BrowsingPutsTheChosenFileIntoTheDialogOnly) {
  const std::string model = WriteCodedImage("model.bmp", 4, 4);
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_SERIES_SETTINGS);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDC_SERIES_BROWSE, 0);
  HWND chooser = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    chooser = FindWindowA("#32770", "連番保存ファイル");
    return chooser != nullptr && IsWindowVisible(chooser);
  }));
  ASSERT_TRUE(AnswerFileDialog(chooser, model));
  EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_SERIES_PATH) == model; }));
  ASSERT_TRUE(Finish(dialog, IDCANCEL));
  EXPECT_EQ(Setting("SeriesSave", "SeriesFile"), "<none>");
  EXPECT_EQ(pelora_.Close(), 0u);
}
