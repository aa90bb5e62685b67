#pragma once
// The layout of a VQI file: a 24-byte header, a plane table of 8-byte entries, then the
// stored bytes of each plane back to back. Little-endian, no padding.

#include <cstddef>
#include <cstdint>

inline constexpr size_t kVqiHeaderSize = 24;
inline constexpr size_t kVqiPlaneEntrySize = 8;
inline constexpr int kVqiMaxPlanes = 4;

inline constexpr uint16_t kColourModelRgb = 0;
inline constexpr uint16_t kColourModelLuma = 1;

inline constexpr uint32_t kPlaneDelta = 0xFF;  // any nonzero low byte; writers store 1
inline constexpr uint32_t kPlaneHuffman = 0x100;
inline constexpr uint32_t kPlaneRle = 0x200;

struct VqiPlane {
  uint32_t storedLength;
  uint32_t flags;
  size_t offset;  // from the start of the file
};

struct VqiLayout {
  int32_t width;
  int32_t height;
  uint16_t colourModel;
  int planeCount;
  VqiPlane planes[kVqiMaxPlanes];
};

// What the planes of a file hold, in plane order.
enum class VqiPlaneLayout { kRgb, kRgbAlpha, kGray, kGrayAlpha, kLuma, kLumaAlpha };

// True when the file starts with "VQI"; nothing else decides the format.
bool HasVqiMagic(const uint8_t* data, size_t length);

// Reads and checks the header and plane table against the file's length: false when either
// lies beyond the data, the plane count is not 1–4, the size is not positive or exceeds
// 2^28 pixels, or a plane lies beyond the data.
bool ParseVqiFile(const uint8_t* data, size_t length, VqiLayout* layout);

VqiPlaneLayout PlaneLayoutOf(const VqiLayout& layout);
