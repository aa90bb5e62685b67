#include "vqi/vqi_export_dialog.h"

#include <commdlg.h>

#include <initializer_list>

#include "shell/file_dialogs.h"
#include "shell/image_view.h"
#include "vqi/vqi_export.h"
#include "vqi/vqi_export_ids.h"

char AlphaImagePath[512] = "";

namespace {

constexpr int kAlphaTransparentColour = 1;
constexpr int kAlphaImage = 2;

void InsertItems(HWND dialog, int control, std::initializer_list<const char*> items, int selected) {
  HWND box = GetDlgItem(dialog, control);
  WPARAM position = 0;
  for (const char* item : items) {
    SendMessageA(box, CB_INSERTSTRING, position++, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(box, CB_SETCURSEL, selected, 0);
}

int Selection(HWND dialog, int control) {
  return static_cast<int>(SendMessageA(GetDlgItem(dialog, control), CB_GETCURSEL, 0, 0));
}

void Initialize(HWND dialog) {
  AlphaImagePath[0] = '\0';
  InsertItems(dialog, IDC_VQI_MODE, {"RGB", "Y-yR-yB", "グレースケール"}, 1);
  InsertItems(dialog, IDC_VQI_ALPHA_KIND, {"なし", "透明色", "αチャンネル画像"}, 0);
  CheckDlgButton(dialog, IDC_VQI_RLE, BST_CHECKED);
  CheckDlgButton(dialog, IDC_VQI_HUFFMAN, BST_CHECKED);
  CheckDlgButton(dialog, IDC_VQI_DELTA, BST_CHECKED);
  SetDlgItemInt(dialog, IDC_VQI_RED, 0, FALSE);
  SetDlgItemInt(dialog, IDC_VQI_GREEN, 255, FALSE);
  SetDlgItemInt(dialog, IDC_VQI_BLUE, 0, FALSE);
}

void ShowAlphaKindControls(HWND dialog) {
  const int kind = Selection(dialog, IDC_VQI_ALPHA_KIND);
  for (int control : {IDC_VQI_RED, IDC_VQI_GREEN, IDC_VQI_BLUE}) {
    EnableWindow(GetDlgItem(dialog, control), kind == kAlphaTransparentColour);
  }
  EnableWindow(GetDlgItem(dialog, IDC_VQI_ALPHA_IMAGE), kind == kAlphaImage);
}

void ChooseAlphaImage(HWND dialog) {
  char name[512];
  OPENFILENAMEA record =
      FileDialogRecord(dialog, kPictureFileFilter, "αチャンネル読み込み", "bmp",
                       OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, name, sizeof name);
  if (GetOpenFileNameA(&record)) lstrcpyA(AlphaImagePath, name);
}

void Export(HWND dialog) {
  const int mode = Selection(dialog, IDC_VQI_MODE);
  const uint32_t alphaKind = static_cast<uint32_t>(Selection(dialog, IDC_VQI_ALPHA_KIND));
  const uint32_t rle = IsDlgButtonChecked(dialog, IDC_VQI_RLE) == BST_CHECKED;
  const uint32_t delta = IsDlgButtonChecked(dialog, IDC_VQI_DELTA) == BST_CHECKED;
  const uint32_t huffman = IsDlgButtonChecked(dialog, IDC_VQI_HUFFMAN) == BST_CHECKED;
  const uint32_t red = GetDlgItemInt(dialog, IDC_VQI_RED, nullptr, FALSE);
  const uint32_t green = GetDlgItemInt(dialog, IDC_VQI_GREEN, nullptr, FALSE);
  const uint32_t blue = GetDlgItemInt(dialog, IDC_VQI_BLUE, nullptr, FALSE);
  const uint32_t options = alphaKind * 256 + huffman * 4 + rle * 2 + delta;
  SaveAsVqi(dialog, mode, options, red * 65536 + green * 256 + blue);
}

}  // namespace

INT_PTR CALLBACK VqiExportDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Initialize(dialog);
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_VQI_ALPHA_KIND:
      if (HIWORD(wParam) == CBN_SELCHANGE) ShowAlphaKindControls(dialog);
      break;
    case IDC_VQI_ALPHA_IMAGE:
      ChooseAlphaImage(dialog);
      break;
    case IDOK:
      Export(dialog);
      EndDialog(dialog, IDOK);
      break;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
  }
  return FALSE;
}

bool SaveAsVqi(HWND owner, int mode, uint32_t options, uint32_t transparentColour) {
  char name[512];
  OPENFILENAMEA record =
      FileDialogRecord(owner, "VQI形式\0*.vqi\0すべて(*.*)\0*.*\0", "保存", "vqi",
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, name, sizeof name);
  if (!GetSaveFileNameA(&record)) return false;
  // Taken after the dialog, whose loop lets the image be replaced.
  return EncodeVqi(owner, AlphaImagePath, View.image, name, mode, options, transparentColour);
}
