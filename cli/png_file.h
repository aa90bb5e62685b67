#pragma once
// PNG files for the converter: libspng on Linux, the Windows Imaging Component on Windows.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct ImageBuffer;

inline bool HasPngSignature(const uint8_t* bytes, size_t length) {
  return length >= 8 && std::memcmp(bytes, "\x89PNG\r\n\x1A\n", 8) == 0;
}

// Decodes a PNG file into the empty `target`: 16-bit samples rounded to 8 bits, transparent
// pixels over white. False, with the target empty, for a damaged file or wanting memory.
bool DecodePngImage(const uint8_t* bytes, size_t length, ImageBuffer* target);

// Writes the image as a 24-bit PNG file with its resolution where known. False for a failed
// write; an existing file is replaced only by a complete one.
bool WritePngFile(const char* path, const ImageBuffer& image);
