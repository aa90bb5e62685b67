#include "vqi/vqi_decoder.h"

#include <algorithm>

#include "core/image_buffer.h"
#include "vqi/band_decoding.h"
#include "vqi/plane_reader.h"
#include "vqi/worker_threads.h"
#include "vqi/vqi_file.h"

namespace {

DecodeResult Decode(ImageBuffer* target, const uint8_t* data, size_t length, int threads) {
  VqiLayout layout;
  if (!ParseVqiFile(data, length, &layout)) return DecodeResult::kDamaged;
  const bool drawInto = target->kind != kImageEmpty;
  if (drawInto && (target->bitsPerPixel != 24 || target->width < layout.width ||
                   target->height < layout.height)) {
    return DecodeResult::kDamaged;
  }
  const size_t pixelCount = static_cast<size_t>(layout.width) * layout.height;
  PlaneReader readers[kVqiMaxPlanes];
  for (int i = 0; i < layout.planeCount; ++i) {
    const DecodeResult opened = readers[i].Open(data, layout.planes[i], pixelCount);
    if (opened != DecodeResult::kDecoded) return opened;
  }
  // The file's size is one an image may have: only memory can be wanting.
  if (!drawInto && !CreateImageBuffer(target, layout.width, 24, layout.height)) {
    return DecodeResult::kNoMemory;
  }
  const BandJob job = {layout, readers, std::max<int32_t>(1, kBandBytes / layout.width), target};
  return DecodeBands(job, threads);
}

}  // namespace

bool ReadVqiImage(ImageBuffer* target, const uint8_t* data, size_t length) {
  return ReadVqiImageWithThreads(target, data, length, ProcessorCount());
}

bool ReadVqiImageWithThreads(ImageBuffer* target, const uint8_t* data, size_t length, int threads,
                             bool* noMemory) {
  const bool drawInto = target->kind != kImageEmpty;
  const DecodeResult result = Decode(target, data, length, threads);
  // A fresh target goes back to empty; one that held an image keeps the rows drawn.
  if (result != DecodeResult::kDecoded && !drawInto) FreeImageBuffer(target);
  if (noMemory != nullptr) *noMemory = result == DecodeResult::kNoMemory;
  return result == DecodeResult::kDecoded;
}
