#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"

namespace {

const char kRegistrationKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\StillImage\\Registered Applications";

// The registration key as the 64-bit still-image service reads it (a 32-bit program's own
// view of the key is another one).
HKEY RegistrationKey(REGSAM access) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRegistrationKey, 0, nullptr, 0, access | KEY_WOW64_64KEY,
                  nullptr, &key, nullptr);
  return key;
}

std::string Registration() {
  HKEY key = RegistrationKey(KEY_QUERY_VALUE);
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
  HKEY key = RegistrationKey(WRITE_DAC);
  PSECURITY_DESCRIPTOR access = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &access,
                                                       nullptr);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, access);
  LocalFree(access);
  RegCloseKey(key);
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

void SetCheck(HWND dialog, int id, bool checked) {
  SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

class ScanDialogs : public ViewerTest {
 protected:
  void SetUp() override { RemoveRegistration(); }
  void TearDown() override { RemoveRegistration(); }

  static void RemoveRegistration() {
    HKEY key = RegistrationKey(KEY_SET_VALUE);
    RegDeleteValueA(key, "PeloraApp");
    RegCloseKey(key);
  }

  HWND OpenDialog(UINT command, const char* title) {
    pelora_.PostCommand(command);
    return pelora_.WaitForDialog(title);
  }

  void Finish(HWND dialog, int button = IDOK) {
    ASSERT_TRUE(CloseDialog(dialog, button));
    pelora_.Settle();
  }

  std::string Setting(const char* section, const char* key) {
    char value[512];
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value,
                             pelora_.SettingsPath().c_str());
    return value;
  }

  // True when the file is a 24-bit BMP of the white start picture.
  static bool HoldsStartPicture(const std::string& path) {
    return FileHolds(path, 320, 240, [](int, int) { return kWhite; });
  }
};

}  // namespace

TEST_F(ScanDialogs, SettingsStoreActionsAndTheRegistration) {
  WriteSettings(pelora_.SettingsPath(), "[EVENT]\r\nZButton=3\r\nAButton=1\r\nMButton=9\r\n");
  ASSERT_TRUE(pelora_.Start());
  HWND dialog = OpenDialog(ID_EDIT_SETTINGS, "設定");
  ASSERT_NE(dialog, nullptr);
  // Events in the file's order; the actions of the list.
  std::string events, actions;
  for (int i = 0; i < SendDlgItemMessageA(dialog, IDC_EVENT_LIST, CB_GETCOUNT, 0, 0); ++i) {
    events += ListItem(dialog, IDC_EVENT_LIST, i) + ",";
  }
  for (int i = 0; i < SendDlgItemMessageA(dialog, IDC_ACTION_LIST, CB_GETCOUNT, 0, 0); ++i) {
    actions += ListItem(dialog, IDC_ACTION_LIST, i) + ",";
  }
  EXPECT_EQ(events, "ZButton,AButton,MButton,");
  EXPECT_EQ(actions, "何もしない,スキャン,簡易スキャン,印刷,連番保存,");
  EXPECT_EQ(Selected(dialog, IDC_EVENT_LIST), 0);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), 3);
  ChooseItem(dialog, IDC_EVENT_LIST, 1);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), 1);
  ChooseItem(dialog, IDC_ACTION_LIST, 4);
  ChooseItem(dialog, IDC_EVENT_LIST, 2);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), CB_ERR);  // 9 is no action of the list
  ChooseItem(dialog, IDC_EVENT_LIST, 1);
  EXPECT_EQ(Selected(dialog, IDC_ACTION_LIST), 4);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REGISTER_APP), BST_UNCHECKED);
  Finish(dialog);
  EXPECT_EQ(Setting("EVENT", "ZButton") + Setting("EVENT", "AButton") + Setting("EVENT", "MButton"),
            "349");
  EXPECT_EQ(Setting("PeloraApp", "WinSavePos"), "0");
  EXPECT_EQ(Registration(), "<none>");

  // Cancel drops what was chosen.
  dialog = OpenDialog(ID_EDIT_SETTINGS, "設定");
  ChooseItem(dialog, IDC_ACTION_LIST, 0);
  SetCheck(dialog, IDC_RESTORE_WINDOW, true);
  SetCheck(dialog, IDC_REGISTER_APP, true);
  Finish(dialog, IDCANCEL);
  EXPECT_EQ(Setting("EVENT", "ZButton"), "3");
  EXPECT_EQ(Setting("PeloraApp", "WinSavePos"), "0");
  EXPECT_EQ(Registration(), "<none>");

  dialog = OpenDialog(ID_EDIT_SETTINGS, "設定");
  SetCheck(dialog, IDC_RESTORE_WINDOW, true);
  SetCheck(dialog, IDC_REGISTER_APP, true);
  Finish(dialog);
  EXPECT_EQ(Setting("PeloraApp", "WinSavePos"), "1");
  EXPECT_EQ(Registration(), pelora_.ExePath() + " CMD:TWAIN\\%1 %2");

  // Without the right to change the key, what is already so needs none; a change is refused
  // with what it takes.
  SetRegistrationKeyAccess("D:(D;;0x6;;;WD)(A;;KA;;;WD)");
  Finish(OpenDialog(ID_EDIT_SETTINGS, "設定"));
  dialog = OpenDialog(ID_EDIT_SETTINGS, "設定");
  SetCheck(dialog, IDC_REGISTER_APP, false);
  PressButton(dialog, IDOK);
  HWND box = pelora_.WaitForDialog("エラー");
  EXPECT_EQ(BoxText(box), "エラー: Windowsへの登録を変更するには管理者権限が必要です．");
  CloseDialog(box);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  SetRegistrationKeyAccess("D:(A;;KA;;;WD)");

  dialog = OpenDialog(ID_EDIT_SETTINGS, "設定");
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RESTORE_WINDOW), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REGISTER_APP), BST_CHECKED);
  SetCheck(dialog, IDC_REGISTER_APP, false);
  Finish(dialog);
  EXPECT_EQ(Registration(), "<none>");
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(ScanDialogs, SeriesSaveAsksOnceThenCountsOn) {
  ASSERT_TRUE(pelora_.Start());
  // Cancelled, the first series save writes nothing.
  HWND dialog = OpenDialog(ID_SERIES_SAVE, "連番保存設定");
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("page.bmp").c_str());
  Finish(dialog, IDCANCEL);
  EXPECT_FALSE(FileExists(folder_.Path("page1.bmp")));
  EXPECT_EQ(Setting("SeriesSave", "SeriesFile"), "<none>");

  // Browsing puts the chosen file into the dialog only.
  dialog = OpenDialog(ID_SERIES_SETTINGS, "連番保存設定");
  PostMessageA(dialog, WM_COMMAND, IDC_SERIES_BROWSE, 0);
  const std::string model = WriteCodedImage("model.bmp", 4, 4);
  ASSERT_TRUE(AnswerFileDialog(pelora_.WaitForDialog("連番保存ファイル"), model));
  char path[MAX_PATH] = "";
  EXPECT_TRUE(WaitUntil([&] {
    GetDlgItemTextA(dialog, IDC_SERIES_PATH, path, MAX_PATH);
    return path == model;
  }));
  Finish(dialog, IDCANCEL);
  EXPECT_EQ(Setting("SeriesSave", "SeriesFile"), "<none>");

  // The first asks for the model; then each counts on, the next run too.
  dialog = OpenDialog(ID_SERIES_SAVE, "連番保存設定");
  EXPECT_EQ(GetDlgItemInt(dialog, IDC_SERIES_NUMBER, nullptr, TRUE), 1u);
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("scan.old.bmp").c_str());
  SetDlgItemTextA(dialog, IDC_SERIES_NUMBER, "9");
  Finish(dialog);
  EXPECT_TRUE(WaitUntil([&] { return HoldsStartPicture(folder_.Path("scan.old9.bmp")); }));
  EXPECT_EQ(Setting("SeriesSave", "SeriesFile"), folder_.Path("scan.old.bmp"));
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(HoldsStartPicture(folder_.Path("scan.old10.bmp")));

  // Names without a dot, from 0; the dialog alone saves nothing.
  dialog = OpenDialog(ID_SERIES_SETTINGS, "連番保存設定");
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("page").c_str());
  SetDlgItemTextA(dialog, IDC_SERIES_NUMBER, "0");
  Finish(dialog);
  EXPECT_FALSE(FileExists(folder_.Path("page0")));
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(HoldsStartPicture(folder_.Path("page0")));
  // A failed write keeps the number.
  dialog = OpenDialog(ID_SERIES_SETTINGS, "連番保存設定");
  EXPECT_EQ(GetDlgItemInt(dialog, IDC_SERIES_NUMBER, nullptr, TRUE), 1u);
  SetDlgItemTextA(dialog, IDC_SERIES_PATH, folder_.Path("missing\\page.bmp").c_str());
  Finish(dialog);
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "1");

  // Negative numbers from the settings keep their sign.
  WritePrivateProfileStringA("SeriesSave", "SeriesFile", folder_.Path("p.bmp").c_str(),
                             pelora_.SettingsPath().c_str());
  WritePrivateProfileStringA("SeriesSave", "SeriesNo", "-1", pelora_.SettingsPath().c_str());
  ASSERT_TRUE(pelora_.Start());
  pelora_.Command(ID_SERIES_SAVE);
  pelora_.Command(ID_SERIES_SAVE);
  EXPECT_TRUE(FileExists(folder_.Path("p-1.bmp")));
  EXPECT_TRUE(FileExists(folder_.Path("p0.bmp")));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(Setting("SeriesSave", "SeriesNo"), "1");
}
