#include "vqi/vqi_encoder.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <memory>
#include <new>
#include <utility>

#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "vqi/colour_models.h"
#include "vqi/delta_coding.h"
#include "vqi/huffman.h"
#include "vqi/pixel_split.h"
#include "vqi/worker_threads.h"
#include "vqi/run_length.h"
#include "vqi/vqi_file.h"

namespace {

PlaneBuffer AllocatePlane(size_t size) { return PlaneBuffer(new (std::nothrow) uint8_t[size]); }

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

void FillTransparentColourAlpha(const ImageBuffer& image, uint32_t colour, uint8_t* alpha) {
  const int bytesPerPixel = image.bitsPerPixel / 8;
  for (int32_t row = 0; row < image.height; ++row) {
    const uint8_t* p = image.pixels + static_cast<size_t>(row) * image.stride;
    uint8_t* out = alpha + static_cast<size_t>(row) * image.width;
    for (int32_t x = 0; x < image.width; ++x, p += bytesPerPixel) {
      const uint32_t value = p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
      out[x] = value == colour ? 255 : 0;
    }
  }
}

// The blue bytes of the alpha image at the same memory rows and columns.
void FillAlphaFromImage(const ImageBuffer& image, const ImageBuffer& source, uint8_t* alpha) {
  std::memset(alpha, 0, static_cast<size_t>(image.width) * image.height);
  const int bytesPerPixel = source.bitsPerPixel / 8;
  const int32_t rows = source.height < image.height ? source.height : image.height;
  const int32_t columns = source.width < image.width ? source.width : image.width;
  for (int32_t row = 0; row < rows; ++row) {
    const uint8_t* p = source.pixels + static_cast<size_t>(row) * source.stride;
    uint8_t* out = alpha + static_cast<size_t>(row) * image.width;
    for (int32_t x = 0; x < columns; ++x, p += bytesPerPixel) out[x] = p[0];
  }
}

// Spare buffers passed from one plane to the next, so that planes coded one after another
// share one: fresh memory costs a page fault per page.
class SparePlanes {
 public:
  // Makes `count` of them at once, on the caller's thread: the threads would each take their
  // memory from an allocator arena of their own, which keeps it longer than the caller's
  // does, so that coding side by side would seem faster than it is to a benchmark.
  SparePlanes(size_t size, int count) : size_(size) {
    for (int i = 0; i < count; ++i) {
      PlaneBuffer spare = AllocatePlane(size);
      if (spare) free_[freeCount_++] = std::move(spare);
    }
  }

  // Empty when there is no memory for one.
  PlaneBuffer Take() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (freeCount_ > 0) return std::move(free_[--freeCount_]);
    }
    return AllocatePlane(size_);
  }

  void Give(PlaneBuffer spare) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (freeCount_ < kVqiMaxPlanes) free_[freeCount_++] = std::move(spare);
  }

 private:
  const size_t size_;
  std::mutex mutex_;
  PlaneBuffer free_[kVqiMaxPlanes];  // a fixed store: giving back never needs memory
  int freeCount_ = 0;
};

// Codes one plane with the stages asked for; gives its stored length and flags. Each stage
// writes into a spare buffer, and the two change places when the stage is kept. False, with
// the plane untouched, when no spare buffer can be had.
bool CodePlane(PlaneBuffer* plane, size_t pixelCount, uint32_t options, SparePlanes* spares,
               uint32_t* storedLength, uint32_t* flags) {
  // A stage is kept only where it shortens the plane, so its output gets room for one byte
  // less than its input, and it gives up as soon as it would need more.
  PlaneBuffer spare;
  if (options & (kExportRle | kExportHuffman)) {
    spare = spares->Take();
    if (!spare) return false;
  }
  size_t length = pixelCount;
  *flags = 0;
  if (options & kExportDelta) {
    DeltaEncode(plane->get(), length);
    *flags |= 1;
  }
  if (options & kExportRle) {
    const size_t coded = RleEncode(spare.get(), length - 1, plane->get(), length);
    if (coded > 0) {
      plane->swap(spare);
      *flags |= kPlaneRle;
      length = coded;
    }
  }
  if (options & kExportHuffman) {
    const int64_t coded = HuffmanEncode(spare.get(), length - 1, plane->get(), length);
    if (coded > 0) {
      plane->swap(spare);
      *flags |= kPlaneHuffman;
      length = static_cast<size_t>(coded);
    }
  }
  *storedLength = static_cast<uint32_t>(length);
  if (spare) spares->Give(std::move(spare));
  return true;
}

}  // namespace

bool EncodeVqiParts(const ImageBuffer* image, int mode, uint32_t options,
                    uint32_t transparentColour, const ImageBuffer* alphaImage,
                    VqiEncoding* encoding, int threads) {
  if (image->kind == kImageEmpty) return false;
  if (mode != kExportRgb && mode != kExportLuma && mode != kExportGrayscale) return false;
  const size_t pixelCount = static_cast<size_t>(image->width) * image->height;

  // Grayscale still splits three planes (the luma transform gives them together); the alpha
  // plane comes after the ones that are kept.
  int planeCount = mode == kExportGrayscale ? 1 : 3;
  const uint32_t alphaKind = AlphaKindOf(options);
  const bool alpha =
      alphaKind == kAlphaTransparentColour || (alphaKind == kAlphaImage && alphaImage != nullptr);
  PlaneBuffer* planes = encoding->planes;
  for (int i = 0; i < 3 + (alpha ? 1 : 0); ++i) {
    planes[i] = AllocatePlane(pixelCount);
    if (!planes[i]) return false;
  }
  uint8_t* const split[3] = {planes[0].get(), planes[1].get(), planes[2].get()};
  SplitPixels(*image, mode == kExportRgb, split);
  if (mode == kExportGrayscale) {
    planes[1] = std::move(planes[3]);
    planes[2].reset();
  }
  if (alphaKind == kAlphaTransparentColour) {
    FillTransparentColourAlpha(*image, transparentColour, planes[planeCount++].get());
  } else if (alpha) {
    FillAlphaFromImage(*image, *alphaImage, planes[planeCount++].get());
  }

  uint32_t storedLengths[kVqiMaxPlanes] = {};
  uint32_t planeFlags[kVqiMaxPlanes] = {};
  bool coded[kVqiMaxPlanes] = {};
  const bool spareNeeded = (options & (kExportRle | kExportHuffman)) != 0;
  SparePlanes spares(pixelCount, spareNeeded ? std::min(std::max(threads, 1), planeCount) : 0);
  try {
    ForEachOnThreads(planeCount, threads, [&](int i) {
      coded[i] =
          CodePlane(&planes[i], pixelCount, options, &spares, &storedLengths[i], &planeFlags[i]);
    });
  } catch (const std::bad_alloc&) {
    // no memory for the work's record: the planes are coded below, one after another
  }
  // Planes coded side by side each need a spare buffer at the same time; one that found no
  // memory for it gets another try once the others are done.
  for (int i = 0; i < planeCount; ++i) {
    if (!coded[i] &&
        !CodePlane(&planes[i], pixelCount, options, &spares, &storedLengths[i], &planeFlags[i])) {
      return false;
    }
  }

  uint8_t* table = encoding->table;
  uint64_t fileSize = kVqiHeaderSize + kVqiPlaneEntrySize * planeCount;
  for (int i = 0; i < planeCount; ++i) {
    const uint32_t storedLength = storedLengths[i];
    const uint32_t flags = planeFlags[i];
    Put32(table + kVqiPlaneEntrySize * i, storedLength);
    Put32(table + kVqiPlaneEntrySize * i + 4, flags);
    encoding->parts[2 + i] = {planes[i].get(), storedLength};
    fileSize += storedLength;
  }
  // Four planes of 2^28 bytes cannot outgrow the field, since no stage is kept unless it
  // shortens its plane.
  uint8_t* header = encoding->header;
  std::memset(header, 0, kVqiHeaderSize);
  std::memcpy(header, "VQI0", 4);
  Put32(header + 4, static_cast<uint32_t>(fileSize));
  Put16(header + 8, static_cast<uint32_t>(kVqiHeaderSize + kVqiPlaneEntrySize * planeCount));
  Put32(header + 12, static_cast<uint32_t>(image->width));
  Put32(header + 16, static_cast<uint32_t>(image->height));
  Put16(header + 20, mode == kExportRgb ? kColourModelRgb : kColourModelLuma);
  header[22] = static_cast<uint8_t>(planeCount);
  encoding->parts[0] = {header, kVqiHeaderSize};
  encoding->parts[1] = {table, kVqiPlaneEntrySize * static_cast<size_t>(planeCount)};
  encoding->partCount = 2 + static_cast<size_t>(planeCount);
  return true;
}

bool EncodeVqiImage(const ImageBuffer* image, const char* outputPath, int mode, uint32_t options,
                    uint32_t transparentColour, const ImageBuffer* alphaImage) {
  VqiEncoding encoding;
  if (!EncodeVqiParts(image, mode, options, transparentColour, alphaImage, &encoding,
                      ProcessorCount())) {
    return false;
  }
  try {
    return ReplaceFileContents(outputPath, encoding.parts, encoding.partCount);
  } catch (const std::bad_alloc&) {  // no memory for the temporary file's name
    return false;
  }
}
