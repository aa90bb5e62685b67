#include "scan/series_save.h"

#include <commdlg.h>

#include <memory>
#include <string>

#include "core/image_file_names.h"
#include "core/image_writer.h"
#include "pdf/pdf_file.h"
#include "scan/document_open.h"
#include "scan/series_name.h"
#include "shell/app_state.h"
#include "shell/file_dialogs.h"
#include "shell/image_view.h"
#include "shell/jpeg_quality_dialog.h"
#include "shell/resource.h"
#include "shell/settings.h"

namespace {

// The PDF of a feeder batch under way: from its first page until the source has no more.
struct SeriesBatch {
  std::unique_ptr<PdfFile> file;
  std::string path;
  int number = 0;
};
SeriesBatch Batch;

void BrowseForModelPath(HWND dialog) {
  char name[512];
  OPENFILENAMEA record = FileDialogRecord(
      dialog, "画像\0*.bmp;*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.pdf\0すべて(*.*)\0*.*\0", "連番保存ファイル",
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

// The number the next save takes: the series' own, and also when it was set anew meanwhile.
void CountUpFrom(int saved) {
  if (SeriesNumber != saved) return;
  SeriesNumber = static_cast<int>(static_cast<unsigned>(saved) + 1u);  // wraps, never overflows
  // Stored at once: a run that ends without closing the window must not reuse the number.
  WriteSettingInt("SeriesSave", "SeriesNo", SeriesNumber);
}

// The file of the next number, or empty (nothing to save, or told) when there is none.
std::string NextSeriesPath(HWND mainWindow) {
  if (SeriesFileName[0] == '\0') ShowSeriesSettingsDialog(mainWindow);
  if (SeriesFileName[0] == '\0') return {};
  std::string path = SeriesFilePath(SeriesFileName, SeriesNumber);
  if (path.size() > kMaxDocumentTextLength) {
    ShowPathTooLong(mainWindow);
    return {};
  }
  return path;
}

bool BeginBatch(HWND mainWindow, const std::string& path) {
  Batch.file = std::make_unique<PdfFile>();
  Batch.path = path;
  Batch.number = SeriesNumber;
  if (BeginPdfFile(Batch.file.get(), path.c_str())) return true;
  Batch.file.reset();
  ShowNotSaved(mainWindow, path.c_str());
  return false;
}

// False when the page is not in the document; when the document itself is lost (the disk
// refused its bytes) it is dropped at once, and told.
bool AddBatchPage(HWND mainWindow) {
  if (AddPdfFilePage(Batch.file.get(), *View.image)) return true;
  if (Batch.file->writer.failed) {
    Batch.file.reset();
    ShowNotSaved(mainWindow, Batch.path.c_str());
  }
  return false;
}

// One file of the series; a PDF is a document of its own, and a batch under way stays as it is.
bool WriteSeriesFile(HWND mainWindow, const std::string& path) {
  const bool written = IsPdfPath(path)
                           ? WriteOnePagePdfFile(path.c_str(), *View.image)
                           : WriteImageFile(path.c_str(), *View.image,
                                            ImageFileFormatForPath(path.c_str()),
                                            RememberedJpegQuality());
  if (!written) {
    ShowNotSaved(mainWindow, path.c_str());
    return false;
  }
  CountUpFrom(SeriesNumber);
  return true;
}

}  // namespace

INT_PTR ShowSeriesSettingsDialog(HWND owner) {
  return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SERIES_SETTINGS), owner,
                         SeriesSettingsProc, 0);
}

bool SaveNextInSeries(HWND mainWindow) {
  const std::string path = NextSeriesPath(mainWindow);
  if (path.empty()) return false;
  return WriteSeriesFile(mainWindow, path);
}

bool SaveScannedPageInSeries(HWND mainWindow) {
  if (Batch.file != nullptr) return AddBatchPage(mainWindow);
  // The model path may be set only now, in dialog 111, for the first page.
  const std::string path = NextSeriesPath(mainWindow);
  if (path.empty()) return false;
  if (!IsPdfPath(path)) return WriteSeriesFile(mainWindow, path);
  return BeginBatch(mainWindow, path) && AddBatchPage(mainWindow);
}

void EndSeriesBatch(HWND mainWindow, bool whole) {
  if (Batch.file == nullptr) return;
  const std::unique_ptr<PdfFile> file = std::move(Batch.file);
  const int32_t pages = file->writer.pageCount;
  if (!FinishPdfFile(file.get())) {
    ShowNotSaved(mainWindow, Batch.path.c_str());
    return;
  }
  CountUpFrom(Batch.number);
  if (whole) return;
  const std::string text = "スキャンが途中で終わりました．\n" + Batch.path + " に " +
                           std::to_string(pages) + " ページを保存しました．";
  MessageBoxA(mainWindow, text.c_str(), "連番保存", MB_OK | MB_ICONWARNING);
}
