#pragma once
// Reading the headers of BMP files, checked against the file's length, and the header that
// the program writes. Platform-free.

#include <cstddef>
#include <cstdint>

#include "core/dib_header.h"

struct ImageBuffer;

// A bitmap information header followed by room for a full colour table (or, for bit
// fields, the three masks): the form the system's DIB conversion takes.
struct DibInfoWithColors {
  DibHeader header;
  uint32_t colors[256];
};

// What a checked BMP file holds: its information in normalised form (40-byte header; a
// colour table of 2^bitCount entries for 8 bits and fewer, missing entries black; the masks
// for bit fields; biSizeImage the exact length of the checked pixel data) and where the
// pixel data lies in the file. biHeight is negative for files stored top-down.
struct BmpLayout {
  DibInfoWithColors info;
  size_t pixelOffset;
};

// Checks the file's header, colour table and pixel data (rows, or run-length data up to its
// end-of-bitmap mark) against its length. False when anything lies outside the file or is
// not a bitmap the program reads.
bool ParseBmpFile(const uint8_t* bytes, size_t length, BmpLayout* layout);

// The same checks for a packed DIB in memory: the information header, the colour table (or
// masks) and the pixel rows straight behind it, as the clipboard and scanners hand it over.
bool ParsePackedDib(const uint8_t* bytes, size_t length, BmpLayout* layout);

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpHeadersSize = kBmpFileHeaderSize + sizeof(DibHeader);

// The 14-byte file header written before an image's own information header.
void BuildBmpFileHeader(const ImageBuffer& image, uint8_t out[kBmpFileHeaderSize]);
