#pragma once
// The arithmetic of the image record's memory layout, shared by every build.

#include <cstdint>

#include "core/dib_header.h"

// Images larger than this many pixels are refused: far beyond any scan, and it keeps every
// byte count of the program well inside 32 bits.
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 28;

// Bytes per row: width × bytes per pixel, rounded up to a multiple of 4.
int32_t ImageStride(int32_t width, int32_t bitsPerPixel);

// True when an image of this size and depth (24 or 32) can be held.
bool IsSupportedImageSize(int32_t width, int32_t bitsPerPixel, int32_t height);

// Fills the fields of `record` that describe the image (kind, size, stride, info); the
// size must be supported. bitsPerPixel 0 means 24.
struct ImageBuffer;
void DescribeImage(ImageBuffer* record, int32_t width, int32_t bitsPerPixel, int32_t height);
