#include "scan/event_settings_dialog.h"

#include <cstdio>
#include <cstring>

#include "scan/event_table.h"
#include "shell/app_state.h"
#include "shell/resource.h"
#include "shell/settings.h"

namespace {

const char kRegistrationKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\StillImage\\Registered Applications";
const char kRegistrationValue[] = "PeloraApp";
// The 32-bit program's SOFTWARE keys on 64-bit Windows are a view of their own, where the
// 64-bit still-image service never looks: ask for its view. 32-bit Windows ignores the flag.
constexpr REGSAM kServiceView = KEY_WOW64_64KEY;
const char kRequestArguments[] = " CMD:TWAIN\\%1 %2";
constexpr DWORD kCommandSize = 1 + 512 + 1 + sizeof kRequestArguments;  // with the quotes
const char* const kActionLabels[] = {"何もしない", "スキャン", "簡易スキャン", "印刷", "連番保存"};
constexpr int kActionCount = 5;

// Room for many more key names than the table holds; what does not fit is left out.
constexpr DWORD kEventNamesSize = 4096;

EventEntry EventTable[kMaxEvents + 1];

// The registration value, cut to the buffer; false when there is none.
bool ReadRegistration(char* value, DWORD size) {
  value[0] = '\0';
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRegistrationKey, 0, nullptr, 0, KEY_READ | kServiceView,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  DWORD length = size - 1;
  const LSTATUS result = RegQueryValueExA(key, kRegistrationValue, nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(value), &length);
  RegCloseKey(key);
  value[result == ERROR_SUCCESS ? length : 0] = '\0';
  return result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
}

// Registers the executable, its path quoted (it may hold blanks), or removes the
// registration. False when it had to change and could not (no rights to the key).
bool WriteRegistration(bool registered) {
  char command[kCommandSize] = "\"";
  const DWORD length = GetModuleFileNameA(nullptr, command + 1, 512);
  if (registered && (length == 0 || length >= 512)) return true;  // never register a cut path
  command[1 + length] = '"';
  std::strcpy(command + 2 + length, kRequestArguments);
  char present[kCommandSize];
  const bool isRegistered = ReadRegistration(present, sizeof present);
  // What is already so needs no rights to change.
  if (registered ? isRegistered && std::strcmp(present, command) == 0 : !isRegistered) return true;
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRegistrationKey, 0, nullptr, 0, KEY_WRITE | kServiceView,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LSTATUS result = registered ? RegSetValueExA(key, kRegistrationValue, 0, REG_SZ,
                                                     reinterpret_cast<const BYTE*>(command),
                                                     static_cast<DWORD>(std::strlen(command) + 1))
                                    : RegDeleteValueA(key, kRegistrationValue);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void FillEventList(HWND dialog, const char* settingsPath) {
  char names[kEventNamesSize];
  const DWORD length =
      GetPrivateProfileStringA("EVENT", nullptr, "?", names, kEventNamesSize, settingsPath);
  const int count = FillEventTable(names, length + 1, length == kEventNamesSize - 2, EventTable);
  HWND list = GetDlgItem(dialog, IDC_EVENT_LIST);
  for (int i = 0; i < count; ++i) {
    EventTable[i].action =
        static_cast<int>(GetPrivateProfileIntA("EVENT", EventTable[i].name, 0, settingsPath));
    SendMessageA(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(EventTable[i].name));
  }
  SendMessageA(list, CB_SETCURSEL, 0, 0);
}

void ShowActionOfSelectedEvent(HWND dialog) {
  const LRESULT selected = SendDlgItemMessageA(dialog, IDC_EVENT_LIST, CB_GETCURSEL, 0, 0);
  const int action = selected == CB_ERR ? EventTable[0].action : EventTable[selected].action;
  // An action outside the list (a hand-edited file) selects nothing.
  const bool listed = action >= 0 && action < kActionCount;
  SendDlgItemMessageA(dialog, IDC_ACTION_LIST, CB_SETCURSEL, listed ? action : -1, 0);
}

void Open(HWND dialog) {
  char settingsPath[kSettingsPathSize];
  GetSettingsPath(settingsPath);
  char registration[kCommandSize];
  if (ReadRegistration(registration, sizeof registration)) {
    CheckDlgButton(dialog, IDC_REGISTER_APP, BST_CHECKED);
  }
  FillEventList(dialog, settingsPath);
  for (int i = 0; i < kActionCount; ++i) {
    SendDlgItemMessageA(dialog, IDC_ACTION_LIST, CB_INSERTSTRING, i,
                        reinterpret_cast<LPARAM>(kActionLabels[i]));
  }
  ShowActionOfSelectedEvent(dialog);
  if (ReadSettingInt("PeloraApp", "WinSavePos", 0) != 0) {
    CheckDlgButton(dialog, IDC_RESTORE_WINDOW, BST_CHECKED);
  }
}

void StoreChosenAction(HWND dialog) {
  const LRESULT event = SendDlgItemMessageA(dialog, IDC_EVENT_LIST, CB_GETCURSEL, 0, 0);
  const LRESULT action = SendDlgItemMessageA(dialog, IDC_ACTION_LIST, CB_GETCURSEL, 0, 0);
  if (event == CB_ERR || action == CB_ERR || EventTable[event].name[0] == '\0') return;
  EventTable[event].action = static_cast<int>(action);
}

void Save(HWND dialog) {
  for (const EventEntry* entry = EventTable; entry->name[0] != '\0'; ++entry) {
    WriteSettingInt("EVENT", entry->name, entry->action);
  }
  if (!WriteRegistration(IsDlgButtonChecked(dialog, IDC_REGISTER_APP) == BST_CHECKED)) {
    MessageBoxA(dialog, "Windowsへの登録を変更するには管理者権限が必要です．", "エラー", MB_OK);
  }
  WriteSettingString("PeloraApp", "WinSavePos",
                     IsDlgButtonChecked(dialog, IDC_RESTORE_WINDOW) == BST_CHECKED ? "1" : "0");
}

INT_PTR CALLBACK EventSettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Open(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_EVENT_LIST:
          if (HIWORD(wParam) == CBN_SELCHANGE) ShowActionOfSelectedEvent(dialog);
          return TRUE;
        case IDC_ACTION_LIST:
          if (HIWORD(wParam) == CBN_SELCHANGE) StoreChosenAction(dialog);
          return TRUE;
        case IDOK:
          Save(dialog);
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

INT_PTR ShowEventSettingsDialog(HWND owner) {
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_EVENT_SETTINGS), owner,
                         EventSettingsProc, 0);
}
