#include <windows.h>

#include "core/bmp_format.h"
#include "core/bmp_reader.h"
#include "core/dib_conversion.h"
#include "core/image_buffer.h"
#include "core/resolution.h"

bool ReadBmpImage(const uint8_t* bytes, size_t length, ImageBuffer* target) {
  BmpLayout layout;
  if (!ParseBmpFile(bytes, length, &layout)) return false;
  const DibHeader& header = layout.info.header;
  const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  if (!CreateImageBuffer(target, header.biWidth, 24, height)) return false;

  // The conversion gets the checked, normalised header, whose biSizeImage bounds what it
  // reads of the pixel data. A picture it refuses leaves the record empty, as it came.
  if (DrawDibInto(layout.info, bytes + layout.pixelOffset, target->memoryDC, target)) {
    target->dpiX = DotsPerInchFromPelsPerMeter(header.biXPelsPerMeter);
    target->dpiY = DotsPerInchFromPelsPerMeter(header.biYPelsPerMeter);
    return true;
  }
  FreeImageBuffer(target);
  return false;
}
