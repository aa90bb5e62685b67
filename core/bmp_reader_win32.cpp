#include <windows.h>

#include "core/bmp_format.h"
#include "core/bmp_reader.h"
#include "core/image_buffer.h"

bool ReadBmpImage(const uint8_t* bytes, size_t length, ImageBuffer* target) {
  BmpLayout layout;
  if (!ParseBmpFile(bytes, length, &layout)) return false;
  const DibHeader& header = layout.info.header;
  const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  if (!CreateImageBuffer(target, header.biWidth, 24, height)) return false;

  // The conversion gets the checked, normalised header, whose biSizeImage bounds what it
  // reads of the pixel data.
  const auto* info = reinterpret_cast<const BITMAPINFO*>(&layout.info);
  HBITMAP converted = CreateDIBitmap(target->memoryDC, &info->bmiHeader, CBM_INIT,
                                     bytes + layout.pixelOffset, info, DIB_RGB_COLORS);
  if (converted == nullptr) return false;
  HDC source = CreateCompatibleDC(target->memoryDC);
  HGDIOBJ previous = SelectObject(source, converted);
  BitBlt(target->memoryDC, 0, 0, target->width, target->height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(converted);
  return true;
}
