#include "scan/document_open.h"

#include <cstring>

#include "core/image_loader.h"
#include "shell/image_view.h"
#include "shell/main_window.h"

char CurrentDocumentPath[kMaxDocumentTextLength + 1] = "";

namespace {

bool OpenPath(const char* path, HWND mainWindow) {
  ImageBuffer* image = View.image;
  FreeImageBuffer(image);
  const bool loaded = LoadImageFile(image, path);
  if (loaded) SizeWindowToImage();
  std::strcpy(CurrentDocumentPath, path);
  SetWindowTextA(mainWindow, DocumentTitle(path).c_str());
  if (!loaded) InvalidateRect(View.window, nullptr, TRUE);  // nothing to show any more
  return loaded;
}

// Scanning arrives with the scanner support; until then a request only names the device.
bool CarryOutScannerRequest(HWND mainWindow) {
  SetWindowTextA(mainWindow, "TWAIN機器 Pelora");
  CurrentDocumentPath[0] = '\0';
  return true;
}

}  // namespace

bool OpenDocument(const char* text, HWND mainWindow) {
  if (std::strlen(text) > kMaxDocumentTextLength) {
    ShowPathTooLong(mainWindow);
    return false;
  }
  const bool result =
      IsScannerRequest(text) ? CarryOutScannerRequest(mainWindow) : OpenPath(text, mainWindow);
  EnableImageMenuItems(mainWindow);
  return result;
}

void ShowPathTooLong(HWND owner) { MessageBoxA(owner, "パスが長すぎます", "エラー", MB_OK); }
