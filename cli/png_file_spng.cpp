#include <spng.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "cli/png_file.h"
#include "core/decoded_pixels.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"

namespace {

struct ContextFree {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

// Pixels per metre for dots per inch, rounded (0.0254 metres to the inch).
uint32_t PelsPerMeter(int32_t dpi) {
  return static_cast<uint32_t>((int64_t{dpi} * 10000 + 127) / 254);
}

}  // namespace

bool DecodePngImage(const uint8_t* bytes, size_t length, ImageBuffer* target) {
  const Context context(spng_ctx_new(0));
  spng_ihdr header;
  size_t size = 0;
  if (!context || spng_set_png_buffer(context.get(), bytes, length) != 0 ||
      spng_get_ihdr(context.get(), &header) != 0 || header.width > INT32_MAX ||
      header.height > INT32_MAX ||
      spng_decoded_image_size(context.get(), SPNG_FMT_RGBA16, &size) != 0) {
    return false;
  }
  const auto width = static_cast<int32_t>(header.width);
  const auto height = static_cast<int32_t>(header.height);
  // Sixteen bits a sample whatever the file holds: one conversion, rounded as the Windows
  // reader rounds.
  std::unique_ptr<uint8_t[]> rgba(new (std::nothrow) uint8_t[size]);
  if (!rgba || !CreateImageBuffer(target, width, 24, height)) return false;
  if (spng_decode_image(context.get(), rgba.get(), size, SPNG_FMT_RGBA16, SPNG_DECODE_TRNS) != 0) {
    FreeImageBuffer(target);
    return false;
  }
  spng_phys phys;
  if (spng_get_phys(context.get(), &phys) == 0 && phys.unit_specifier == 1) {
    target->dpiX = static_cast<int32_t>((uint64_t{phys.ppu_x} * 254 + 5000) / 10000);
    target->dpiY = static_cast<int32_t>((uint64_t{phys.ppu_y} * 254 + 5000) / 10000);
  }
  const size_t rowBytes = size / header.height;
  for (int32_t y = 0; y < height; ++y) {
    ConvertDecodedRow(DecodedPixels::kRgba64, rgba.get() + rowBytes * y, width,
                      target->pixels + ptrdiff_t{height - 1 - y} * target->stride);
  }
  return true;
}

bool WritePngFile(const char* path, const ImageBuffer& image) {
  if (image.kind == kImageEmpty) return false;
  const Context context(spng_ctx_new(SPNG_CTX_ENCODER));
  spng_ihdr header = {static_cast<uint32_t>(image.width),
                      static_cast<uint32_t>(image.height),
                      8,
                      SPNG_COLOR_TYPE_TRUECOLOR,
                      0,
                      0,
                      0};
  if (!context || spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1) != 0 ||
      spng_set_ihdr(context.get(), &header) != 0) {
    return false;
  }
  if (image.dpiX > 0 && image.dpiY > 0) {
    spng_phys phys = {PelsPerMeter(image.dpiX), PelsPerMeter(image.dpiY), 1};
    if (spng_set_phys(context.get(), &phys) != 0) return false;
  }
  if (spng_encode_image(context.get(), nullptr, 0, SPNG_FMT_PNG,
                        SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) != 0) {
    return false;
  }
  // Row by row, top first, red-green-blue.
  const int32_t step = image.bitsPerPixel / 8;
  std::vector<uint8_t> row(size_t{3} * image.width);
  int result = 0;
  for (int32_t y = 0; y < image.height && result == 0; ++y) {
    const uint8_t* from = image.pixels + ptrdiff_t{image.height - 1 - y} * image.stride;
    for (int32_t x = 0; x < image.width; ++x, from += step) {
      row[3 * x] = from[2], row[3 * x + 1] = from[1], row[3 * x + 2] = from[0];
    }
    result = spng_encode_row(context.get(), row.data(), row.size());
  }
  if (result != SPNG_EOI) return false;
  int error = 0;
  size_t length = 0;
  void* png = spng_get_png_buffer(context.get(), &length, &error);
  if (png == nullptr || error != 0) {
    std::free(png);
    return false;
  }
  const ByteSpan part = {png, length};
  const bool written = ReplaceFileContents(path, &part, 1);
  std::free(png);
  return written;
}
