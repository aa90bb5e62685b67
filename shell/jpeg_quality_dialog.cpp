#include "shell/jpeg_quality_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "shell/app_state.h"
#include "shell/resource.h"
#include "shell/settings.h"

namespace {

constexpr int kLowestQuality = 1;
constexpr int kHighestQuality = 100;

int ValidQuality(int quality) { return std::clamp(quality, kLowestQuality, kHighestQuality); }

INT_PTR CALLBACK JpegQualityProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SendDlgItemMessageA(dialog, IDC_JPEG_QUALITY_SPIN, UDM_SETRANGE32, kLowestQuality,
                          kHighestQuality);
      SetDlgItemInt(dialog, IDC_JPEG_QUALITY, UINT(RememberedJpegQuality()), FALSE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          const int quality =
              ValidQuality(int(GetDlgItemInt(dialog, IDC_JPEG_QUALITY, nullptr, FALSE)));
          WriteSettingInt("PeloraApp", "JpegQuality", quality);
          *reinterpret_cast<int32_t*>(GetWindowLongPtrA(dialog, DWLP_USER)) = quality;
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

int32_t RememberedJpegQuality() {
  return ValidQuality(ReadSettingInt("PeloraApp", "JpegQuality", 90));
}

bool ChooseJpegQuality(HWND owner, int32_t* quality) {
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_JPEG_OPTIONS), owner, JpegQualityProc,
                         reinterpret_cast<LPARAM>(quality)) == IDOK;
}
