#pragma once
// The image record's resolution in the units others hand it over in, and through resizing.

#include <cstdint>

// Dots per inch from a bitmap header's pixels per metre, rounded; 0 for none (0 or less).
int32_t DotsPerInchFromPelsPerMeter(int32_t pelsPerMeter);

// The resolution of a side resized from `oldPixels` to `newPixels`, so that it prints as large
// as before; an unknown resolution (0) stays unknown.
int32_t ResizedDotsPerInch(int32_t dpi, int32_t oldPixels, int32_t newPixels);
