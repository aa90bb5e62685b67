// Dialog 105: a new width and height in pixels or percent, optionally keeping the aspect ratio.
#include <new>

#include "adjust/adjust_dialogs.h"
#include "adjust/adjust_ids.h"
#include "adjust/dialog_controls_win32.h"
#include "adjust/resize_arithmetic.h"
#include "core/resolution.h"
#include "shell/app_state.h"
#include "shell/image_view.h"

// What the edits hold, and whether their changes apply the aspect-ratio rule (not while the
// dialog writes into them itself).
SizeUnit ResizeUnit = kResizePixels;
bool ResizeSyncEnabled = false;

namespace {

const char kSizeRefused[] = "サイズが不正です．";

ResizeNumbers PresentSize() {
  return {static_cast<uint32_t>(View.image->width), static_cast<uint32_t>(View.image->height)};
}

uint32_t ReadSide(HWND dialog, int control) {
  const int64_t number = ReadDialogNumber(dialog, control, false);
  return number > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(number);
}

ResizeNumbers ReadTyped(HWND dialog) {
  return {ReadSide(dialog, IDC_RESIZE_WIDTH), ReadSide(dialog, IDC_RESIZE_HEIGHT)};
}

void WriteSide(HWND dialog, int control, uint32_t number) {
  ResizeSyncEnabled = false;
  SetDlgItemInt(dialog, control, number, FALSE);
  ResizeSyncEnabled = true;
}

void KeepAspectRatio(HWND dialog, int changed) {
  if (!ResizeSyncEnabled || IsDlgButtonChecked(dialog, IDC_RESIZE_KEEP_RATIO) != BST_CHECKED) {
    return;
  }
  const ResizeNumbers typed = ReadTyped(dialog);
  const bool widthChanged = changed == IDC_RESIZE_WIDTH;
  const int other = widthChanged ? IDC_RESIZE_HEIGHT : IDC_RESIZE_WIDTH;
  if (ResizeUnit == kResizePercent) {
    WriteSide(dialog, other, widthChanged ? typed.width : typed.height);
    return;
  }
  const uint32_t shown = widthChanged ? typed.height : typed.width;
  const uint32_t matching = widthChanged ? HeightForWidth(PresentSize(), typed.width)
                                         : WidthForHeight(PresentSize(), typed.height);
  if (matching != shown) WriteSide(dialog, other, matching);
}

void ChangeUnit(HWND dialog) {
  const auto chosen =
      static_cast<int>(SendDlgItemMessageA(dialog, IDC_RESIZE_UNIT, CB_GETCURSEL, 0, 0));
  if (chosen == ResizeUnit || (chosen != kResizePixels && chosen != kResizePercent)) return;
  const ResizeNumbers converted =
      ConvertResizeNumbers(PresentSize(), ReadTyped(dialog), ResizeUnit);
  const char* label = chosen == kResizePercent ? "%" : "px";
  ResizeSyncEnabled = false;
  SetDlgItemInt(dialog, IDC_RESIZE_WIDTH, converted.width, FALSE);
  SetDlgItemInt(dialog, IDC_RESIZE_HEIGHT, converted.height, FALSE);
  SetDlgItemTextA(dialog, IDC_RESIZE_WIDTH_UNIT, label);
  SetDlgItemTextA(dialog, IDC_RESIZE_HEIGHT_UNIT, label);
  ResizeUnit = static_cast<SizeUnit>(chosen);
  ResizeSyncEnabled = true;
}

void Apply(HWND dialog) {
  const ResizeNumbers present = PresentSize();
  ResizeNumbers size = {};
  if (!ResizeTarget(present, ReadTyped(dialog), ResizeUnit, &size)) {
    MessageBoxA(dialog, kSizeRefused, "Error", MB_OK);
    return;
  }
  if (size.width == present.width && size.height == present.height) {
    EndDialog(dialog, IDOK);
    return;
  }
  auto* resized = new (std::nothrow) ImageBuffer;
  if (resized == nullptr || !CreateImageBuffer(resized, static_cast<int32_t>(size.width), 24,
                                               static_cast<int32_t>(size.height))) {
    // Too large to hold: refused like any other size the image cannot take.
    delete resized;
    MessageBoxA(dialog, kSizeRefused, "Error", MB_OK);
    return;
  }
  resized->dpiX = ResizedDotsPerInch(View.image->dpiX, View.image->width, resized->width);
  resized->dpiY = ResizedDotsPerInch(View.image->dpiY, View.image->height, resized->height);
  SetStretchBltMode(resized->memoryDC, HALFTONE);
  SetBrushOrgEx(resized->memoryDC, 0, 0, nullptr);
  StretchBlt(resized->memoryDC, 0, 0, resized->width, resized->height, View.image->memoryDC, 0, 0,
             View.image->width, View.image->height, SRCCOPY);
  GdiFlush();
  DeleteImageBuffer(View.image);
  View.image = resized;
  EndDialog(dialog, IDOK);
}

void Start(HWND dialog) {
  ResizeSyncEnabled = false;
  ResizeUnit = kResizePixels;
  SendDlgItemMessageA(dialog, IDC_RESIZE_UNIT, CB_INSERTSTRING, 0,
                      reinterpret_cast<LPARAM>("ピクセル"));
  SendDlgItemMessageA(dialog, IDC_RESIZE_UNIT, CB_INSERTSTRING, 1,
                      reinterpret_cast<LPARAM>("パーセンテージ"));
  SendDlgItemMessageA(dialog, IDC_RESIZE_UNIT, CB_SETCURSEL, 0, 0);
  char present[32];
  wsprintfA(present, "%dx%d", View.image->width, View.image->height);
  SetDlgItemTextA(dialog, IDC_RESIZE_CURRENT, present);
  SetDlgItemInt(dialog, IDC_RESIZE_WIDTH, static_cast<UINT>(View.image->width), FALSE);
  SetDlgItemInt(dialog, IDC_RESIZE_HEIGHT, static_cast<UINT>(View.image->height), FALSE);
  CheckDlgButton(dialog, IDC_RESIZE_KEEP_RATIO, BST_CHECKED);
  SetFocus(GetDlgItem(dialog, IDC_RESIZE_WIDTH));
  ResizeSyncEnabled = true;
}

}  // namespace

INT_PTR CALLBACK ResizeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Start(dialog);
      return FALSE;  // the focus is set
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_RESIZE_WIDTH:
        case IDC_RESIZE_HEIGHT:
          if (HIWORD(wParam) == EN_UPDATE) KeepAspectRatio(dialog, LOWORD(wParam));
          return TRUE;
        case IDC_RESIZE_UNIT:
          if (HIWORD(wParam) == CBN_SELCHANGE) ChangeUnit(dialog);
          return TRUE;
        case IDOK:
          Apply(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

bool RunResizeDialog(HWND owner) {
  if (View.image == nullptr || View.image->kind == kImageEmpty) {
    // Nothing to resize, and no size to keep the ratio of.
    MessageBoxA(owner, "画像が読み込まれていません", "エラー", MB_OK);
    return false;
  }
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_RESIZE), owner, ResizeDialog, 0) == IDOK;
}
