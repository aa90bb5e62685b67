#include "pdf/page_pixels.h"

#include <cstring>

#include "core/image_buffer.h"

namespace {

const uint8_t* RowFromTop(const ImageBuffer& image, int32_t row) {
  return image.pixels + size_t(image.stride) * size_t(image.height - 1 - row);
}

}  // namespace

PageContent ClassifyPagePixels(const ImageBuffer& image) {
  bool blackAndWhite = true;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* pixel = RowFromTop(image, y);
    for (int32_t x = 0; x < image.width; ++x, pixel += 3) {
      if (pixel[0] != pixel[1] || pixel[1] != pixel[2]) return PageContent::kColour;
      blackAndWhite = blackAndWhite && (pixel[0] == 0 || pixel[0] == 255);
    }
  }
  return blackAndWhite ? PageContent::kBlackAndWhite : PageContent::kGrey;
}

size_t PageRowBytes(const ImageBuffer& image, PageContent content) {
  const size_t width = size_t(image.width);
  switch (content) {
    case PageContent::kBlackAndWhite:
      return (width + 7) / 8;
    case PageContent::kGrey:
      return width;
    case PageContent::kColour:
      break;
  }
  return width * 3;
}

void PackPageRow(const ImageBuffer& image, int32_t row, PageContent content, uint8_t* out) {
  const uint8_t* pixel = RowFromTop(image, row);
  switch (content) {
    case PageContent::kBlackAndWhite:
      std::memset(out, 0, PageRowBytes(image, content));
      for (int32_t x = 0; x < image.width; ++x, pixel += 3) {
        if (pixel[0] != 0) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
      }
      return;
    case PageContent::kGrey:
      for (int32_t x = 0; x < image.width; ++x, pixel += 3) out[x] = pixel[0];
      return;
    case PageContent::kColour:
      for (int32_t x = 0; x < image.width; ++x, pixel += 3, out += 3) {
        out[0] = pixel[2];
        out[1] = pixel[1];
        out[2] = pixel[0];
      }
      return;
  }
}
