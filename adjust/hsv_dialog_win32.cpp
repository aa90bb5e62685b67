// Dialog 107: hue, saturation and value with a live preview.
#include <windows.h>

#include <commctrl.h>

#include "adjust/adjust_dialogs.h"
#include "adjust/adjust_ids.h"
#include "adjust/adjustment_numbers.h"
#include "adjust/dialog_controls_win32.h"
#include "adjust/hsv.h"
#include "adjust/preview_win32.h"
#include "shell/app_state.h"
#include "shell/image_view.h"

ImageBuffer HsvWorkBuffer;
HBITMAP HsvBeforeBitmap = nullptr;
HBITMAP HsvAfterBitmap = nullptr;

namespace {

const PreviewImages kPreview = {&HsvWorkBuffer, &HsvBeforeBitmap, &HsvAfterBitmap};
const SliderEdit kSliders[3] = {{IDC_SLIDER_FIRST, IDC_HSV_HUE},
                                {IDC_SLIDER_SECOND, IDC_HSV_SATURATION},
                                {IDC_SLIDER_THIRD, IDC_HSV_VALUE}};

struct HsvNumbers {
  int64_t hue;
  int64_t saturation;
  int64_t value;
  bool Accepted() const { return AreHsvNumbersAccepted(hue, saturation, value); }
  HsvParameters Scaled() const { return ScaleHsvNumbers(hue, saturation, value); }
};

HsvNumbers ReadNumbers(HWND dialog) {
  return {ReadDialogNumber(dialog, IDC_HSV_HUE, true),
          ReadDialogNumber(dialog, IDC_HSV_SATURATION, true),
          ReadDialogNumber(dialog, IDC_HSV_VALUE, true)};
}

void RefreshPreview(HWND dialog) {
  const HsvNumbers numbers = ReadNumbers(dialog);
  if (!numbers.Accepted() || !LoadPreviewWork(kPreview)) return;
  const HsvParameters p = numbers.Scaled();
  AdjustHsv(&HsvWorkBuffer, p.hueShift, p.saturationScale, p.valueScale);
  ShowPreviewWork(dialog, kPreview);
}

void Apply(HWND dialog) {
  const HsvNumbers numbers = ReadNumbers(dialog);
  if (!numbers.Accepted()) {
    MessageBoxA(dialog, "数値が不正です．", "Error", MB_OK);
    return;
  }
  const HsvParameters p = numbers.Scaled();
  GdiFlush();
  AdjustHsv(View.image, p.hueShift, p.saturationScale, p.valueScale);
  EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK HsvDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StartPreview(dialog, kPreview, View.image);
      // Each write refreshes the after picture as the numbers arrive.
      SetDlgItemInt(dialog, IDC_HSV_HUE, 0, TRUE);
      SetDlgItemInt(dialog, IDC_HSV_SATURATION, 100, TRUE);
      SetDlgItemInt(dialog, IDC_HSV_VALUE, 100, TRUE);
      SetUpSlider(dialog, IDC_SLIDER_FIRST, -240, 240, 0);
      SetUpSlider(dialog, IDC_SLIDER_SECOND, 0, 200, 100);
      SetUpSlider(dialog, IDC_SLIDER_THIRD, 0, 200, 100);
      return TRUE;
    case WM_HSCROLL:
      CopySliderToEdit(dialog, reinterpret_cast<HWND>(lParam), kSliders);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_HSV_HUE:
        case IDC_HSV_SATURATION:
        case IDC_HSV_VALUE:
          if (HIWORD(wParam) == EN_UPDATE) RefreshPreview(dialog);
          return TRUE;
        case IDOK:
          Apply(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      EndPreview(kPreview);
      return TRUE;
  }
  return FALSE;
}

bool RunHsvDialog(HWND owner) {
  InitCommonControls();  // the trackbar class
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_HSV), owner, HsvDialog, 0) == IDOK;
}
