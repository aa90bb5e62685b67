#include "shell/clipboard.h"

#include "core/resolution.h"
#include "shell/image_view.h"

namespace {

// The clipboard's bitmap and its size, while the clipboard is open.
struct ClipboardBitmap {
  HBITMAP bitmap;
  int width;
  int height;
};

// Opens the clipboard and finds its bitmap; the clipboard stays open only on success.
bool OpenClipboardBitmap(HWND owner, ClipboardBitmap* found) {
  if (!IsClipboardFormatAvailable(CF_BITMAP) || !OpenClipboard(owner)) return false;
  found->bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAP size;
  if (found->bitmap == nullptr || GetObjectA(found->bitmap, sizeof size, &size) == 0) {
    CloseClipboard();
    return false;
  }
  found->width = size.bmWidth;
  found->height = size.bmHeight;
  return true;
}

// The resolution of the clipboard's picture where a program put it there as a DIB (a bitmap
// handed over as such has none); the clipboard is open.
void TakeClipboardResolution(ImageBuffer* image) {
  HGLOBAL dib = GetClipboardData(CF_DIB);
  const auto* header = dib != nullptr && GlobalSize(dib) >= sizeof(BITMAPINFOHEADER)
                           ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib))
                           : nullptr;
  if (header == nullptr) return;
  image->dpiX = DotsPerInchFromPelsPerMeter(header->biXPelsPerMeter);
  image->dpiY = DotsPerInchFromPelsPerMeter(header->biYPelsPerMeter);
  GlobalUnlock(dib);
}

}  // namespace

void CopyImageToClipboard(HWND mainWindow) {
  const ImageBuffer* image = View.image;
  if (image->kind == kImageEmpty) {
    ShowNoImageLoaded(mainWindow);
    return;
  }
  HDC windowDC = GetDC(mainWindow);
  HBITMAP copy = CreateCompatibleBitmap(windowDC, image->width, image->height);
  if (copy == nullptr) {
    // The clipboard keeps what it holds: it is only emptied for a bitmap that exists.
    ReleaseDC(mainWindow, windowDC);
    MessageBoxA(mainWindow, "画像が大きすぎてクリップボードにコピーできません．", "エラー", MB_OK);
    return;
  }
  HDC memoryDC = CreateCompatibleDC(windowDC);
  HGDIOBJ previous = SelectObject(memoryDC, copy);
  BitBlt(memoryDC, 0, 0, image->width, image->height, image->memoryDC, 0, 0, SRCCOPY);
  SelectObject(memoryDC, previous);
  bool handedOver = false;
  if (OpenClipboard(mainWindow)) {
    EmptyClipboard();
    handedOver = SetClipboardData(CF_BITMAP, copy) != nullptr;
    CloseClipboard();
  }
  if (!handedOver) DeleteObject(copy);  // else the clipboard owns it
  DeleteDC(memoryDC);
  ReleaseDC(mainWindow, windowDC);
}

bool PasteImage(HWND mainWindow) {
  ClipboardBitmap pasted;
  if (!OpenClipboardBitmap(mainWindow, &pasted)) return false;
  // The new image is made beside the current one, which is only released once it exists.
  auto* image = new ImageBuffer;
  bool created = CreateImageBuffer(image, pasted.width, 24, pasted.height);
  if (created) {
    HDC windowDC = GetDC(mainWindow);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HGDIOBJ previous = SelectObject(memoryDC, pasted.bitmap);
    BitBlt(image->memoryDC, 0, 0, pasted.width, pasted.height, memoryDC, 0, 0, SRCCOPY);
    SelectObject(memoryDC, previous);
    DeleteDC(memoryDC);
    ReleaseDC(mainWindow, windowDC);
    TakeClipboardResolution(image);
  }
  CloseClipboard();
  if (!created) {
    delete image;
    return false;
  }
  DeleteImageBuffer(View.image);
  View.image = image;
  return true;
}

void PasteIntoImage(HWND mainWindow) {
  ImageBuffer* image = View.image;
  if (image->kind == kImageEmpty) {
    ShowNoImageLoaded(mainWindow);
    return;
  }
  ClipboardBitmap pasted;
  if (!OpenClipboardBitmap(mainWindow, &pasted)) return;
  HDC windowDC = GetDC(mainWindow);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  HGDIOBJ previous = SelectObject(memoryDC, pasted.bitmap);
  BitBlt(image->memoryDC, 0, 0, pasted.width, pasted.height, memoryDC, 0, 0, SRCCOPY);
  BitBlt(windowDC, 0, 0, pasted.width, pasted.height, memoryDC, 0, 0, SRCCOPY);
  SelectObject(memoryDC, previous);
  CloseClipboard();
  DeleteDC(memoryDC);
  ReleaseDC(mainWindow, windowDC);
}

void ShowNoImageLoaded(HWND owner) {
  MessageBoxA(owner, "画像が読み込まれていません", "エラー", MB_OK);
}
