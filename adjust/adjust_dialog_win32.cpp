// Dialog 108: brightness, contrast and gamma with a live preview.
#include <windows.h>

#include <commctrl.h>

#include "adjust/adjust_dialogs.h"
#include "adjust/adjust_ids.h"
#include "adjust/adjustment_numbers.h"
#include "adjust/dialog_controls_win32.h"
#include "adjust/level_table.h"
#include "adjust/preview_win32.h"
#include "shell/app_state.h"
#include "shell/image_view.h"

ImageBuffer AdjustWorkBuffer;
HBITMAP AdjustBeforeBitmap = nullptr;
HBITMAP AdjustAfterBitmap = nullptr;

namespace {

const PreviewImages kPreview = {&AdjustWorkBuffer, &AdjustBeforeBitmap, &AdjustAfterBitmap};
const SliderEdit kSliders[3] = {{IDC_SLIDER_FIRST, IDC_ADJUST_BRIGHTNESS},
                                {IDC_SLIDER_SECOND, IDC_ADJUST_CONTRAST},
                                {IDC_SLIDER_THIRD, IDC_ADJUST_GAMMA}};

struct LevelNumbers {
  int64_t brightness;
  int64_t contrast;
  int64_t gamma;
  bool Accepted() const { return AreLevelNumbersAccepted(brightness, contrast, gamma); }
  LevelParameters Scaled() const { return ScaleLevelNumbers(brightness, contrast, gamma); }
};

LevelNumbers ReadNumbers(HWND dialog) {
  return {ReadDialogNumber(dialog, IDC_ADJUST_BRIGHTNESS, true),
          ReadDialogNumber(dialog, IDC_ADJUST_CONTRAST, true),
          ReadDialogNumber(dialog, IDC_ADJUST_GAMMA, true)};
}

void RefreshPreview(HWND dialog) {
  const LevelNumbers numbers = ReadNumbers(dialog);
  if (!numbers.Accepted() || !LoadPreviewWork(kPreview)) return;
  const LevelParameters p = numbers.Scaled();
  AdjustBrightnessContrastGamma(&AdjustWorkBuffer, p.contrastScale, p.brightnessShift,
                                p.gammaScale);
  ShowPreviewWork(dialog, kPreview);
}

void Apply(HWND dialog) {
  const LevelNumbers numbers = ReadNumbers(dialog);
  if (!numbers.Accepted()) {
    MessageBoxA(dialog, "数値が不正です．", "Error", MB_OK);
    return;
  }
  const LevelParameters p = numbers.Scaled();
  GdiFlush();
  AdjustBrightnessContrastGamma(View.image, p.contrastScale, p.brightnessShift, p.gammaScale);
  EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK AdjustDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StartPreview(dialog, kPreview, View.image);
      // Each write refreshes the after picture as the numbers arrive.
      SetDlgItemInt(dialog, IDC_ADJUST_BRIGHTNESS, 0, TRUE);
      SetDlgItemInt(dialog, IDC_ADJUST_CONTRAST, 100, TRUE);
      SetDlgItemInt(dialog, IDC_ADJUST_GAMMA, 100, TRUE);
      SetUpSlider(dialog, IDC_SLIDER_FIRST, -100, 100, 0);
      SetUpSlider(dialog, IDC_SLIDER_SECOND, 0, 200, 100);
      SetUpSlider(dialog, IDC_SLIDER_THIRD, 0, 200, 100);
      return TRUE;
    case WM_HSCROLL:
      CopySliderToEdit(dialog, reinterpret_cast<HWND>(lParam), kSliders);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_ADJUST_BRIGHTNESS:
        case IDC_ADJUST_CONTRAST:
        case IDC_ADJUST_GAMMA:
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

bool RunAdjustDialog(HWND owner) {
  InitCommonControls();  // the trackbar class
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ADJUST), owner, AdjustDialog, 0) == IDOK;
}
