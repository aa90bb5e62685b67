#pragma once
// What a page's pixels hold, and its rows as a PDF image takes them: top row first, one bit a
// pixel for black and white, one byte for grey, red-green-blue for colour.

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

enum class PageContent { kBlackAndWhite, kGrey, kColour };

// The simplest content that holds every pixel of the 24-bit image exactly.
PageContent ClassifyPagePixels(const ImageBuffer& image);

size_t PageRowBytes(const ImageBuffer& image, PageContent content);

// Packs row `row` counted from the top into `out` (PageRowBytes bytes). In one bit a pixel,
// 1 is white and the bits past the last pixel are 0.
void PackPageRow(const ImageBuffer& image, int32_t row, PageContent content, uint8_t* out);
