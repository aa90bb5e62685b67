// Feeds arbitrary files to the orientation tag's reader, as JPEG or TIFF and for the first
// pages; the last byte chooses the page.
#include <cstddef>
#include <cstdint>

#include "core/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int32_t page = size > 0 ? data[size - 1] % 8 : 0;
  const int orientation = ReadExifOrientation(data, size, page);
  if (orientation < 1 || orientation > 8) __builtin_trap();
  return 0;
}
