#include "adjust/number_preview_dialog_win32.h"

#include "shell/image_view.h"

namespace {

struct Numbers {
  int64_t value[3];
};

Numbers ReadNumbers(const NumberPreviewDialog& kind, HWND dialog) {
  Numbers numbers;
  for (int i = 0; i < 3; ++i)
    numbers.value[i] = ReadDialogNumber(dialog, kind.fields[i].edit, true);
  return numbers;
}

bool Accepted(const NumberPreviewDialog& kind, const Numbers& n) {
  return kind.accepted(n.value[0], n.value[1], n.value[2]);
}

void RefreshPreview(const NumberPreviewDialog& kind, HWND dialog) {
  const Numbers numbers = ReadNumbers(kind, dialog);
  if (!Accepted(kind, numbers) || !LoadPreviewWork(kind.preview)) return;
  kind.adjust(kind.preview.work, numbers.value[0], numbers.value[1], numbers.value[2]);
  ShowPreviewWork(dialog, kind.preview);
}

void Apply(const NumberPreviewDialog& kind, HWND dialog) {
  const Numbers numbers = ReadNumbers(kind, dialog);
  if (!Accepted(kind, numbers)) {
    MessageBoxA(dialog, "数値が不正です．", "Error", MB_OK);
    return;
  }
  GdiFlush();
  kind.adjust(View.image, numbers.value[0], numbers.value[1], numbers.value[2]);
  EndDialog(dialog, IDOK);
}

bool IsNumberEdit(const NumberPreviewDialog& kind, int control) {
  for (const SliderEdit& field : kind.fields) {
    if (field.edit == control) return true;
  }
  return false;
}

}  // namespace

INT_PTR NumberPreviewDialogProc(const NumberPreviewDialog& kind, HWND dialog, UINT message,
                                WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StartPreview(dialog, kind.preview, View.image);
      // Each write refreshes the after picture as the numbers arrive.
      for (int i = 0; i < 3; ++i) SetDlgItemInt(dialog, kind.fields[i].edit, kind.start[i], TRUE);
      for (int i = 0; i < 3; ++i) {
        SetUpSlider(dialog, kind.fields[i].slider, kind.sliderMinimum[i], kind.sliderMaximum[i],
                    kind.start[i]);
      }
      return TRUE;
    case WM_HSCROLL:
      CopySliderToEdit(dialog, reinterpret_cast<HWND>(lParam), kind.fields);
      return TRUE;
    case WM_COMMAND: {
      const int control = LOWORD(wParam);
      if (IsNumberEdit(kind, control)) {
        if (HIWORD(wParam) == EN_UPDATE) RefreshPreview(kind, dialog);
        return TRUE;
      }
      if (control == IDOK) {
        Apply(kind, dialog);
        return TRUE;
      }
      if (control == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
      EndPreview(kind.preview);
      return TRUE;
  }
  return FALSE;
}
