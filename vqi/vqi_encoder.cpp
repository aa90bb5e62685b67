#include "vqi/vqi_encoder.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "vqi/colour_models.h"
#include "vqi/delta_coding.h"
#include "vqi/huffman.h"
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

// Splits the pixels, memory row by memory row, into planes 0–2.
void SplitPixels(const ImageBuffer& image, int mode, PlaneBuffer planes[]) {
  const int bytesPerPixel = image.bitsPerPixel / 8;
  for (int32_t row = 0; row < image.height; ++row) {
    const uint8_t* p = image.pixels + static_cast<size_t>(row) * image.stride;
    const size_t k0 = static_cast<size_t>(row) * image.width;
    uint8_t* p0 = planes[0].get() + k0;
    uint8_t* p1 = planes[1].get() + k0;
    uint8_t* p2 = planes[2].get() + k0;
    if (mode == kExportRgb) {
      for (int32_t x = 0; x < image.width; ++x, p += bytesPerPixel) {
        p0[x] = p[0];
        p1[x] = p[1];
        p2[x] = p[2];
      }
    } else {
      for (int32_t x = 0; x < image.width; ++x, p += bytesPerPixel) {
        const LumaPixel luma = LumaFromRgb(p[2], p[1], p[0]);
        p0[x] = luma.y;
        p1[x] = luma.yR;
        p2[x] = luma.yB;
      }
    }
  }
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

// Codes one plane in place with the stages asked for; gives its stored length and flags.
bool CodePlane(uint8_t* plane, size_t pixelCount, uint32_t options, uint32_t* storedLength,
               uint32_t* flags) {
  size_t length = pixelCount;
  *flags = 0;
  if (options & kExportDelta) {
    DeltaEncode(plane, length);
    *flags |= 1;
  }
  // A stage is kept only where it shortens the plane, so its output gets room for one byte
  // less than its input, and it gives up as soon as it would need more.
  if (options & kExportRle) {
    PlaneBuffer scratch = AllocatePlane(length - 1);
    if (!scratch) return false;
    const size_t coded = RleEncode(scratch.get(), length - 1, plane, length);
    if (coded > 0) {
      std::memcpy(plane, scratch.get(), coded);
      *flags |= kPlaneRle;
      length = coded;
    }
  }
  if (options & kExportHuffman) {
    PlaneBuffer scratch = AllocatePlane(length - 1);
    if (!scratch) return false;
    const int64_t coded = HuffmanEncode(scratch.get(), length - 1, plane, length);
    if (coded > 0) {
      std::memcpy(plane, scratch.get(), static_cast<size_t>(coded));
      *flags |= kPlaneHuffman;
      length = static_cast<size_t>(coded);
    }
  }
  *storedLength = static_cast<uint32_t>(length);
  return true;
}

}  // namespace

bool EncodeVqiParts(const ImageBuffer* image, int mode, uint32_t options,
                    uint32_t transparentColour, const ImageBuffer* alphaImage,
                    VqiEncoding* encoding) {
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
  SplitPixels(*image, mode, planes);
  if (mode == kExportGrayscale) {
    planes[1] = std::move(planes[3]);
    planes[2].reset();
  }
  if (alphaKind == kAlphaTransparentColour) {
    FillTransparentColourAlpha(*image, transparentColour, planes[planeCount++].get());
  } else if (alpha) {
    FillAlphaFromImage(*image, *alphaImage, planes[planeCount++].get());
  }

  uint8_t* table = encoding->table;
  uint64_t fileSize = kVqiHeaderSize + kVqiPlaneEntrySize * planeCount;
  for (int i = 0; i < planeCount; ++i) {
    uint32_t storedLength = 0;
    uint32_t flags = 0;
    if (!CodePlane(planes[i].get(), pixelCount, options, &storedLength, &flags)) return false;
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
  return EncodeVqiParts(image, mode, options, transparentColour, alphaImage, &encoding) &&
         ReplaceFileContents(outputPath, encoding.parts, encoding.partCount);
}
