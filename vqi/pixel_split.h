#pragma once
// Splitting the pixels of an image into the byte planes of a VQI file.

#include <cstdint>

struct ImageBuffer;

// Fills planes 0–2 from the 24- or 32-bit image, memory row by memory row: blue, green and
// red (rgb), or the luma bytes Y, yR and yB. Each plane gets width × height bytes.
void SplitPixels(const ImageBuffer& image, bool rgb, uint8_t* const planes[3]);
