#pragma once
// The procedure shared by the HSV and the brightness/contrast/gamma dialogs: three numbers in
// edits, each paired with a trackbar, a before-and-after preview that follows every keystroke,
// and OK applying the adjustment to the current image.

#include <windows.h>

#include <cstdint>

#include "adjust/dialog_controls_win32.h"
#include "adjust/preview_win32.h"

struct NumberPreviewDialog {
  PreviewImages preview;
  SliderEdit fields[3];  // trackbar and edit of each number, in order
  int start[3];          // the numbers the dialog opens with
  int sliderMinimum[3];
  int sliderMaximum[3];
  bool (*accepted)(int64_t first, int64_t second, int64_t third);
  // Adjusts the image's pixels by accepted numbers.
  void (*adjust)(ImageBuffer* image, int64_t first, int64_t second, int64_t third);
};

INT_PTR NumberPreviewDialogProc(const NumberPreviewDialog& kind, HWND dialog, UINT message,
                                WPARAM wParam, LPARAM lParam);
