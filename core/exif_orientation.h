#pragma once
// The orientation a camera or scanner recorded for its picture (tag 0x0112 of an EXIF block in
// a JPEG file, or of a TIFF page's directory), so that the picture can be shown upright.
// Platform-free: the file's bytes are checked against their length at every step.

#include <cstddef>
#include <cstdint>

// 1: shown as stored. 2 to 8: mirrored and/or turned, as kOrientation... below tell.
inline constexpr int kOrientationAsStored = 1;
inline constexpr int kOrientationMirrored = 2;     // left and right swapped
inline constexpr int kOrientationUpsideDown = 3;   // a half turn
inline constexpr int kOrientationFlipped = 4;      // top and bottom swapped
inline constexpr int kOrientationTransposed = 5;   // mirrored across the main diagonal
inline constexpr int kOrientationTurnedRight = 6;  // to be turned a quarter clockwise
inline constexpr int kOrientationTransversed = 7;  // mirrored across the other diagonal
inline constexpr int kOrientationTurnedLeft = 8;   // to be turned a quarter anticlockwise

// The orientation of the JPEG file's picture (its first EXIF block), or of page `page` (0 the
// first) of a TIFF file. kOrientationAsStored for other files, for a missing tag or value out
// of range, and for anything damaged on the way to it.
int ReadExifOrientation(const uint8_t* bytes, size_t length, int32_t page);
