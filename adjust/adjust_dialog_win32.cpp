// Dialog 108: brightness, contrast and gamma with a live preview.
#include <windows.h>

#include <commctrl.h>

#include "adjust/adjust_dialogs.h"
#include "adjust/adjust_ids.h"
#include "adjust/adjustment_numbers.h"
#include "adjust/level_table.h"
#include "adjust/number_preview_dialog_win32.h"
#include "shell/app_state.h"

ImageBuffer AdjustWorkBuffer;
HBITMAP AdjustBeforeBitmap = nullptr;
HBITMAP AdjustAfterBitmap = nullptr;

namespace {

void Adjust(ImageBuffer* image, int64_t brightness, int64_t contrast, int64_t gamma) {
  const LevelParameters p = ScaleLevelNumbers(brightness, contrast, gamma);
  AdjustBrightnessContrastGamma(image, p.contrastScale, p.brightnessShift, p.gammaScale);
}

const NumberPreviewDialog kAdjustDialog = {
    {&AdjustWorkBuffer, &AdjustBeforeBitmap, &AdjustAfterBitmap},
    {{IDC_SLIDER_FIRST, IDC_ADJUST_BRIGHTNESS},
     {IDC_SLIDER_SECOND, IDC_ADJUST_CONTRAST},
     {IDC_SLIDER_THIRD, IDC_ADJUST_GAMMA}},
    {0, 100, 100},
    {-100, 0, 0},
    {100, 200, 200},
    AreLevelNumbersAccepted,
    Adjust,
};

}  // namespace

INT_PTR CALLBACK AdjustDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return NumberPreviewDialogProc(kAdjustDialog, dialog, message, wParam, lParam);
}

bool RunAdjustDialog(HWND owner) {
  InitCommonControls();  // the trackbar class
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ADJUST), owner, AdjustDialog, 0) == IDOK;
}
