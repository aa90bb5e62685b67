#include "adjust/dialog_controls_win32.h"

#include <commctrl.h>

#include "adjust/number_text.h"

int64_t ReadDialogNumber(HWND dialog, int control, bool signedNumber) {
  char text[256];
  GetDlgItemTextA(dialog, control, text, sizeof text);
  return ReadNumberText(text, signedNumber);
}

void SetUpSlider(HWND dialog, int control, int minimum, int maximum, int position) {
  HWND slider = GetDlgItem(dialog, control);
  // Separate minimum and maximum: the packed range message cannot carry negative bounds.
  SendMessageA(slider, TBM_SETRANGEMIN, FALSE, minimum);
  SendMessageA(slider, TBM_SETRANGEMAX, TRUE, maximum);
  // Some trackbars place the thumb for a new range only when the position changes; passing
  // through the other end makes sure it does.
  SendMessageA(slider, TBM_SETPOS, TRUE, position == maximum ? minimum : maximum);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
}

void CopySliderToEdit(HWND dialog, HWND slider, const SliderEdit (&pairs)[3]) {
  const int control = GetDlgCtrlID(slider);
  for (const SliderEdit& pair : pairs) {
    if (pair.slider != control) continue;
    const int position = static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    SetDlgItemInt(dialog, pair.edit, static_cast<UINT>(position), TRUE);
    return;
  }
}
