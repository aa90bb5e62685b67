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

struct CompressionChoice {
  bool forPdf;
  int32_t quality;
};

INT_PTR CALLBACK JpegQualityProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SendDlgItemMessageA(dialog, IDC_JPEG_QUALITY_SPIN, UDM_SETRANGE32, kLowestQuality,
                          kHighestQuality);
      SetDlgItemInt(dialog, IDC_JPEG_QUALITY, UINT(RememberedJpegQuality()), FALSE);
      const bool forPdf = reinterpret_cast<CompressionChoice*>(lParam)->forPdf;
      if (forPdf) SetWindowTextA(dialog, "PDFで保存");
      CheckDlgButton(dialog, IDC_PDF_LOSSLESS,
                     forPdf && ReadSettingInt("PeloraApp", "PdfLossless", 0) != 0);
      ShowWindow(GetDlgItem(dialog, IDC_PDF_LOSSLESS), forPdf ? SW_SHOW : SW_HIDE);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          const int quality =
              ValidQuality(int(GetDlgItemInt(dialog, IDC_JPEG_QUALITY, nullptr, FALSE)));
          WriteSettingInt("PeloraApp", "JpegQuality", quality);
          auto* choice = reinterpret_cast<CompressionChoice*>(GetWindowLongPtrA(dialog, DWLP_USER));
          if (choice->forPdf) {
            WriteSettingInt("PeloraApp", "PdfLossless",
                            IsDlgButtonChecked(dialog, IDC_PDF_LOSSLESS) == BST_CHECKED);
          }
          choice->quality = quality;
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

bool ChooseJpegQuality(HWND owner, bool forPdf, int32_t* quality) {
  CompressionChoice choice = {forPdf, 0};
  if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_JPEG_OPTIONS), owner, JpegQualityProc,
                      reinterpret_cast<LPARAM>(&choice)) != IDOK) {
    return false;
  }
  *quality = choice.quality;
  return true;
}
