#include "adjust/preview_win32.h"

#include <initializer_list>

#include "adjust/adjust_ids.h"
#include "shell/screen_scale.h"

namespace {

// Copies between a bitmap and the work buffer through a memory DC that exists only for the
// copy, so the bitmap is never left selected where the picture control cannot draw it.
void CopyBitmapToWork(HBITMAP bitmap, const ImageBuffer* work) {
  HDC dc = CreateCompatibleDC(work->memoryDC);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(work->memoryDC, 0, 0, work->width, work->height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
}

void CopyWorkToBitmap(const ImageBuffer* work, HBITMAP bitmap) {
  HDC dc = CreateCompatibleDC(work->memoryDC);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, work->width, work->height, work->memoryDC, 0, 0, SRCCOPY);
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
  const int width = ScaleToScreen(dialog, kPreviewWidth);
  const int height = ScaleToScreen(dialog, kPreviewHeight);
  if (!CreateImageBuffer(work, width, 24, height)) return false;
  *preview.before = CreateCompatibleBitmap(work->memoryDC, width, height);
  *preview.after = CreateCompatibleBitmap(work->memoryDC, width, height);
  if (*preview.before == nullptr || *preview.after == nullptr) return false;

  HDC dc = CreateCompatibleDC(work->memoryDC);
  HGDIOBJ old = SelectObject(dc, *preview.before);
  if (image->kind != kImageEmpty) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, width, height, image->memoryDC, 0, 0, image->width, image->height,
               SRCCOPY);
  } else {
    PatBlt(dc, 0, 0, width, height, WHITENESS);
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
  CopyBitmapToWork(*preview.before, preview.work);
  GdiFlush();  // the pixels are read directly next
  return true;
}

void ShowPreviewWork(HWND dialog, const PreviewImages& preview) {
  CopyWorkToBitmap(preview.work, *preview.after);
  ShowBitmap(dialog, IDC_PREVIEW_AFTER, *preview.after);
}

void EndPreview(const PreviewImages& preview) {
  FreeImageBuffer(preview.work);
  for (HBITMAP* bitmap : {preview.before, preview.after}) {
    if (*bitmap != nullptr) DeleteObject(*bitmap);
    *bitmap = nullptr;
  }
}
