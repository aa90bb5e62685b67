#include "shell/file_dialogs.h"

#include <cstring>
#include <string>

#include "core/bmp_writer.h"
#include "core/image_file_names.h"
#include "core/image_writer.h"
#include "pdf/pdf_file.h"
#include "scan/document_open.h"
#include "scan/series_name.h"
#include "shell/image_view.h"
#include "shell/jpeg_quality_dialog.h"

OPENFILENAMEA FileDialogRecord(HWND owner, const char* filter, const char* title,
                               const char* defaultExtension, DWORD flags, char* name,
                               DWORD nameSize) {
  OPENFILENAMEA record = {};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record.hwndOwner = owner;
  record.lpstrFilter = filter;
  record.nFilterIndex = 1;
  record.lpstrFile = name;
  record.nMaxFile = nameSize;
  record.lpstrTitle = title;
  record.lpstrDefExt = defaultExtension;
  record.Flags = flags;
  name[0] = '\0';
  return record;
}

bool ChooseAndOpenFile(HWND owner) {
  char name[512];
  OPENFILENAMEA record =
      FileDialogRecord(owner, kPictureFileFilter, "読み込み", "bmp",
                       OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, name, sizeof name);
  if (!GetOpenFileNameA(&record)) return false;
  return OpenDocument(name, owner);
}

bool ChooseAndSaveBmp(HWND owner) {
  char name[512];
  OPENFILENAMEA record =
      FileDialogRecord(owner, "ビットマップ\0*.bmp\0すべて(*.*)\0*.*\0", "保存", "bmp",
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, name, sizeof name);
  if (!GetSaveFileNameA(&record)) return false;
  if (WriteBmpFile(name, View.image)) return true;
  ShowNotSaved(owner, name);
  return false;
}

bool ChooseAndSaveImage(HWND owner) {
  char name[512];
  OPENFILENAMEA record = FileDialogRecord(
      owner,
      "PNG\0*.png\0JPEG\0*.jpg;*.jpeg\0TIFF\0*.tif;*.tiff\0ビットマップ\0*.bmp\0PDF\0*.pdf\0",
      "形式を選んで保存", "png", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, name, sizeof name);
  if (!GetSaveFileNameA(&record)) return false;
  // A typed ending decides; a name without one the chosen filter does.
  const ImageFileFormat kByFilter[] = {ImageFileFormat::kPng, ImageFileFormat::kJpeg,
                                       ImageFileFormat::kTiff, ImageFileFormat::kBmp};
  constexpr DWORD kPdfFilter = 5;
  ImageFileFormat format = ImageFileFormatForPath(name);
  bool pdf = IsPdfPath(name);
  if (format == ImageFileFormat::kBmp && !pdf &&
      !PathEndsWithKey(name, std::strlen(name), ".bmp", 4)) {
    pdf = record.nFilterIndex == kPdfFilter;
    if (record.nFilterIndex >= 1 && record.nFilterIndex < kPdfFilter) {
      format = kByFilter[record.nFilterIndex - 1];
    }
  }
  int32_t quality = 0;
  if ((pdf || format == ImageFileFormat::kJpeg) && !ChooseJpegQuality(owner, pdf, &quality)) {
    return false;
  }
  const bool written = pdf ? WriteOnePagePdfFile(name, *View.image)
                           : WriteImageFile(name, *View.image, format, quality);
  if (written) return true;
  ShowNotSaved(owner, name);
  return false;
}

void ShowNotSaved(HWND owner, const char* path) {
  const std::string text = std::string("保存できませんでした．\n") + path;
  MessageBoxA(owner, text.c_str(), "エラー", MB_OK);
}
