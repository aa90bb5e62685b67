#include "scan/folder_browsing.h"

#include "core/image_loader.h"
#include "scan/document_open.h"
#include "scan/folder_list.h"

namespace {

FolderList FolderFileList;

bool OpenStep(HWND mainWindow, int step) {
  BuildFolderList();
  const int count = static_cast<int>(FolderFileList.names.size());
  if (count == 0) return false;
  FolderFileList.currentIndex = StepInRing(FolderFileList.currentIndex, count, step);
  const std::string path =
      FolderFileList.folder + FolderFileList.names[FolderFileList.currentIndex];
  OpenDocument(path.c_str(), mainWindow);
  return true;
}

}  // namespace

bool BuildFolderList() {
  std::string folder;
  std::string currentName;
  if (!SplitFolderAndName(CurrentDocumentPath, &folder, &currentName)) return false;
  StartFolderList(&FolderFileList, folder);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool loadable = !isDirectory && IsLoadableImageFile((folder + entry.cFileName).c_str());
    AddFolderEntry(&FolderFileList, entry.cFileName, isDirectory, loadable, currentName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return true;
}

bool OpenNextFile(HWND mainWindow) { return OpenStep(mainWindow, +1); }

bool OpenPreviousFile(HWND mainWindow) { return OpenStep(mainWindow, -1); }
