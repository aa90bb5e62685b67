#pragma once
// Writing VQI files.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/file_replace.h"
#include "vqi/vqi_file.h"

struct ImageBuffer;

using PlaneBuffer = std::unique_ptr<uint8_t[]>;

// How the pixels become planes.
inline constexpr int kExportRgb = 0;        // B, G, R; colour model 0
inline constexpr int kExportLuma = 1;       // Y, yR, yB; colour model 1
inline constexpr int kExportGrayscale = 2;  // Y alone; colour model 1

// Export options: bit 0 delta, bit 1 run-length, bit 2 Huffman coding; bits 8 and up the
// alpha kind.
inline constexpr uint32_t kExportDelta = 1;
inline constexpr uint32_t kExportRle = 2;
inline constexpr uint32_t kExportHuffman = 4;
inline constexpr uint32_t kAlphaNone = 0;
inline constexpr uint32_t kAlphaTransparentColour = 1;
inline constexpr uint32_t kAlphaImage = 2;

inline uint32_t AlphaKindOf(uint32_t options) { return options >> 8; }

// Encodes `image` (24 or 32 bits) and writes it to `outputPath` through the safe-replace
// helper. With the alpha kind kAlphaTransparentColour, pixels whose value (blue + green×256 +
// red×65536) equals `transparentColour` become fully transparent. With kAlphaImage and a
// non-null `alphaImage`, its blue channel is the alpha plane; pixels beyond its size are
// opaque. Each stage asked for is kept only where it shortens the plane (delta coding
// always). False for an empty image, an unknown mode, no memory, or a failed write; an
// existing file is then left as it was.
// A file's bytes as they are written: header, plane table, then each coded plane in its
// own buffer.
struct VqiEncoding {
  uint8_t header[kVqiHeaderSize];
  uint8_t table[kVqiPlaneEntrySize * kVqiMaxPlanes];
  PlaneBuffer planes[kVqiMaxPlanes];
  ByteSpan parts[2 + kVqiMaxPlanes];
  size_t partCount = 0;
};

// Codes the image as EncodeVqiImage does, in memory, with at most `threads` threads (1: the
// caller's alone); EncodeVqiImage takes one per core.
bool EncodeVqiParts(const ImageBuffer* image, int mode, uint32_t options,
                    uint32_t transparentColour, const ImageBuffer* alphaImage,
                    VqiEncoding* encoding, int threads);

bool EncodeVqiImage(const ImageBuffer* image, const char* outputPath, int mode, uint32_t options,
                    uint32_t transparentColour, const ImageBuffer* alphaImage);
