#include "shell/file_dialogs.h"

#include <commdlg.h>

#include "core/bmp_writer.h"
#include "scan/document_open.h"
#include "shell/image_view.h"

namespace {

// The record as the older dialog versions know it, a fresh empty name each time.
OPENFILENAMEA DialogRecord(HWND owner, const char* filter, const char* title, char* name,
                           DWORD nameSize, DWORD flags) {
  OPENFILENAMEA record = {};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record.hwndOwner = owner;
  record.lpstrFilter = filter;
  record.nFilterIndex = 1;
  record.lpstrFile = name;
  record.nMaxFile = nameSize;
  record.lpstrTitle = title;
  record.lpstrDefExt = "bmp";
  record.Flags = flags;
  name[0] = '\0';
  return record;
}

}  // namespace

bool ChooseAndOpenFile(HWND owner) {
  char name[512];
  OPENFILENAMEA record =
      DialogRecord(owner, "画像\0*.bmp;*.jpeg;*.jpg;*.vqi\0すべて(*.*)\0*.*\0", "読み込み", name,
                   sizeof name, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
  if (!GetOpenFileNameA(&record)) return false;
  return OpenDocument(name, owner);
}

bool ChooseAndSaveBmp(HWND owner) {
  char name[512];
  OPENFILENAMEA record = DialogRecord(owner, "ビットマップ\0*.bmp\0すべて(*.*)\0*.*\0", "保存",
                                      name, sizeof name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  if (!GetSaveFileNameA(&record)) return false;
  return WriteBmpFile(name, View.image);
}
