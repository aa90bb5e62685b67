#include "scan/series_save.h"

#include <commdlg.h>

#include <string>

#include "core/image_file_names.h"
#include "core/image_writer.h"
#include "scan/document_open.h"
#include "scan/series_name.h"
#include "shell/app_state.h"
#include "shell/file_dialogs.h"
#include "shell/image_view.h"
#include "shell/jpeg_quality_dialog.h"
#include "shell/resource.h"
#include "shell/settings.h"

namespace {

void BrowseForModelPath(HWND dialog) {
  char name[512];
  OPENFILENAMEA record = FileDialogRecord(
      dialog, "画像\0*.bmp;*.png;*.jpg;*.jpeg;*.tif;*.tiff\0すべて(*.*)\0*.*\0", "連番保存ファイル",
      "bmp", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, name, sizeof name);
  if (GetSaveFileNameA(&record)) SetDlgItemTextA(dialog, IDC_SERIES_PATH, name);
}

INT_PTR CALLBACK SeriesSettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, IDC_SERIES_PATH, SeriesFileName);
      SetDlgItemInt(dialog, IDC_SERIES_NUMBER, static_cast<UINT>(SeriesNumber), FALSE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SERIES_BROWSE:
          BrowseForModelPath(dialog);
          return TRUE;
        case IDOK:
          GetDlgItemTextA(dialog, IDC_SERIES_PATH, SeriesFileName, sizeof SeriesFileName);
          SeriesNumber = static_cast<int>(GetDlgItemInt(dialog, IDC_SERIES_NUMBER, nullptr, FALSE));
          WriteSettingString("SeriesSave", "SeriesFile", SeriesFileName);
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

INT_PTR ShowSeriesSettingsDialog(HWND owner) {
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SERIES_SETTINGS), owner,
                         SeriesSettingsProc, 0);
}

bool SaveNextInSeries(HWND mainWindow) {
  if (SeriesFileName[0] == '\0') ShowSeriesSettingsDialog(mainWindow);
  if (SeriesFileName[0] == '\0') return false;
  const std::string path = SeriesFilePath(SeriesFileName, SeriesNumber);
  if (path.size() > kMaxDocumentTextLength) {
    ShowPathTooLong(mainWindow);
    return false;
  }
  if (!WriteImageFile(path.c_str(), *View.image, ImageFileFormatForPath(path.c_str()),
                      RememberedJpegQuality())) {
    ShowNotSaved(mainWindow, path.c_str());
    return false;
  }
  SeriesNumber =
      static_cast<int>(static_cast<unsigned>(SeriesNumber) + 1u);  // wraps, never overflows
  // Stored at once: a run that ends without closing the window must not reuse the number.
  WriteSettingInt("SeriesSave", "SeriesNo", SeriesNumber);
  return true;
}
