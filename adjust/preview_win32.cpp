#include "adjust/preview_win32.h"

#include <initializer_list>

#include "adjust/adjust_ids.h"

namespace {

// Copies between a bitmap and a device context through a memory DC that exists only for the
// copy, so the bitmap is never left selected where the picture control cannot draw it.
void CopyBitmapToDC(HBITMAP bitmap, HDC target) {
  HDC dc = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(target, 0, 0, kPreviewWidth, kPreviewHeight, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
}

void CopyDCToBitmap(HDC source, HBITMAP bitmap) {
  HDC dc = CreateCompatibleDC(source);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, kPreviewWidth, kPreviewHeight, source, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
}

void ShowBitmap(HWND dialog, int control, HBITMAP bitmap) {
  HWND picture = GetDlgItem(dialog, control);
  SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  // The same bitmap handle again is not a change to the control: repaint it anyway.
  InvalidateRect(picture, nullptr, FALSE);
}

}  // namespace

bool StartPreview(HWND dialog, const PreviewImages& preview, const ImageBuffer* image) {
  ImageBuffer* work = preview.work;
  if (!CreateImageBuffer(work, kPreviewWidth, 24, kPreviewHeight)) return false;
  *preview.before = CreateCompatibleBitmap(work->memoryDC, kPreviewWidth, kPreviewHeight);
  *preview.after = CreateCompatibleBitmap(work->memoryDC, kPreviewWidth, kPreviewHeight);
  if (*preview.before == nullptr || *preview.after == nullptr) return false;

  HDC dc = CreateCompatibleDC(work->memoryDC);
  HGDIOBJ old = SelectObject(dc, *preview.before);
  if (image->kind != kImageEmpty) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, kPreviewWidth, kPreviewHeight, image->memoryDC, 0, 0, image->width,
               image->height, SRCCOPY);
  } else {
    PatBlt(dc, 0, 0, kPreviewWidth, kPreviewHeight, WHITENESS);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ShowBitmap(dialog, IDC_PREVIEW_BEFORE, *preview.before);
  return true;
}

bool LoadPreviewWork(const PreviewImages& preview) {
  if (preview.work->kind == kImageEmpty || *preview.before == nullptr ||
      *preview.after == nullptr) {
    return false;
  }
  CopyBitmapToDC(*preview.before, preview.work->memoryDC);
  GdiFlush();  // the pixels are read directly next
  return true;
}

void ShowPreviewWork(HWND dialog, const PreviewImages& preview) {
  CopyDCToBitmap(preview.work->memoryDC, *preview.after);
  ShowBitmap(dialog, IDC_PREVIEW_AFTER, *preview.after);
}

void EndPreview(const PreviewImages& preview) {
  FreeImageBuffer(preview.work);
  for (HBITMAP* bitmap : {preview.before, preview.after}) {
    if (*bitmap != nullptr) DeleteObject(*bitmap);
    *bitmap = nullptr;
  }
}
