// Dialog 107: hue, saturation and value with a live preview.
#include <windows.h>

#include <commctrl.h>

#include "adjust/adjust_dialogs.h"
#include "adjust/adjust_ids.h"
#include "adjust/adjustment_numbers.h"
#include "adjust/hsv.h"
#include "adjust/number_preview_dialog_win32.h"
#include "shell/app_state.h"

ImageBuffer HsvWorkBuffer;
HBITMAP HsvBeforeBitmap = nullptr;
HBITMAP HsvAfterBitmap = nullptr;

namespace {

void Adjust(ImageBuffer* image, int64_t hue, int64_t saturation, int64_t value) {
  const HsvParameters p = ScaleHsvNumbers(hue, saturation, value);
  AdjustHsv(image, p.hueShift, p.saturationScale, p.valueScale);
}

const NumberPreviewDialog kHsvDialog = {
    {&HsvWorkBuffer, &HsvBeforeBitmap, &HsvAfterBitmap},
    {{IDC_SLIDER_FIRST, IDC_HSV_HUE},
     {IDC_SLIDER_SECOND, IDC_HSV_SATURATION},
     {IDC_SLIDER_THIRD, IDC_HSV_VALUE}},
    {0, 100, 100},
    {-240, 0, 0},
    {240, 200, 200},
    AreHsvNumbersAccepted,
    Adjust,
};

}  // namespace

INT_PTR CALLBACK HsvDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return NumberPreviewDialogProc(kHsvDialog, dialog, message, wParam, lParam);
}

bool RunHsvDialog(HWND owner) {
  InitCommonControls();  // the trackbar class
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_HSV), owner, HsvDialog, 0) == IDOK;
}
