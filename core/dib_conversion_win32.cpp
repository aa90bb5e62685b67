#include "core/dib_conversion.h"

bool DrawDibInto(const DibInfoWithColors& info, const uint8_t* pixels, HDC reference,
                 ImageBuffer* target) {
  const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(&info);
  HBITMAP converted = CreateDIBitmap(reference, &bitmapInfo->bmiHeader, CBM_INIT, pixels,
                                     bitmapInfo, DIB_RGB_COLORS);
  if (converted == nullptr) return false;
  HDC source = CreateCompatibleDC(target->memoryDC);
  HGDIOBJ previous = SelectObject(source, converted);
  BitBlt(target->memoryDC, 0, 0, target->width, target->height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(converted);
  return true;
}
