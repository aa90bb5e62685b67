// Feeds arbitrary files to the VQI decoder, into an empty target and into one that holds an
// image already.
#include <cstddef>
#include <cstdint>

#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Huge declared sizes only spend the time on allocating planes.
  VqiLayout layout;
  if (ParseVqiFile(data, size, &layout) && int64_t{layout.width} * layout.height > (1 << 20)) {
    return 0;
  }
  ImageBuffer fresh;
  ReadVqiImage(&fresh, data, size);
  ImageBuffer held;
  if (CreateImageBuffer(&held, 7, 24, 5)) ReadVqiImage(&held, data, size);
  return 0;
}
