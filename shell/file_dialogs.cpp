#include "shell/file_dialogs.h"

#include <string>

#include "core/bmp_writer.h"
#include "scan/document_open.h"
#include "shell/image_view.h"

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

void ShowNotSaved(HWND owner, const char* path) {
  const std::string text = std::string("保存できませんでした．\n") + path;
  MessageBoxA(owner, text.c_str(), "エラー", MB_OK);
}
