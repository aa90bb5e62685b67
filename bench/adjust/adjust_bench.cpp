// Throughput of the quarter turn, the HSV adjustment and the level table on a photo, against
// memcpy of the same bytes (into a buffer in use, and into newly allocated memory). Prints one
// line per operation: its name and megapixels per second in processor time and in wall time,
// each the best of several runs.
//   adjust_bench PHOTO.bmp   (a 24-bit uncompressed BMP)


#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/hsv.h"
#include "adjust/level_table.h"
#include "core/rotation.h"
#include "bench/times.h"
#include "core/bmp_format.h"
#include "core/image_buffer.h"

namespace {

constexpr int kRuns = 7;

bool LoadPhoto(const char* path, ImageBuffer* image) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  BmpLayout layout;
  if (!ParseBmpFile(bytes.data(), bytes.size(), &layout)) return false;
  const DibHeader& header = layout.info.header;
  if (header.biBitCount != 24 || header.biCompression != 0 || header.biHeight <= 0) return false;
  if (!CreateImageBuffer(image, header.biWidth, 24, header.biHeight)) return false;
  std::memcpy(image->pixels, bytes.data() + layout.pixelOffset,
              static_cast<size_t>(image->stride) * image->height);
  return true;
}

// Prints the name and the megapixels per second of the fastest of kRuns runs of `operation`
// on `pixels` pixels, in processor time and in wall time.
template <typename Operation>
void PrintBestRates(const char* name, double pixels, Operation operation) {
  Seconds best = {1e30, 1e30};
  for (int run = 0; run < kRuns; ++run) {
    const Seconds start = Now();
    operation();
    const Seconds end = Now();
    if (end.cpu - start.cpu < best.cpu) best.cpu = end.cpu - start.cpu;
    if (end.wall - start.wall < best.wall) best.wall = end.wall - start.wall;
  }
  std::printf("%s %.1f %.1f\n", name, pixels / best.cpu / 1e6, pixels / best.wall / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  ImageBuffer image;
  if (argc != 2 || !LoadPhoto(argv[1], &image)) {
    std::fprintf(stderr, "usage: adjust_bench PHOTO.bmp (24-bit, uncompressed)\n");
    return 2;
  }
  const double pixels = double(image.width) * image.height;
  const size_t size = static_cast<size_t>(image.stride) * image.height;
  std::printf("photo %dx%d\n", image.width, image.height);

  std::vector<uint8_t> copy(size);
  PrintBestRates("memcpy", pixels, [&] {
    std::memcpy(copy.data(), image.pixels, size);
    // Keep the copy from being optimised away.
    asm volatile("" : : "r"(copy.data()) : "memory");
  });
  // A turn writes into a newly made image: the same copy into memory just allocated (whose
  // pages the system supplies on first touch) is its fair yardstick.
  PrintBestRates("memcpy-new", pixels, [&] {
    void* fresh = std::calloc(size, 1);
    if (fresh == nullptr) return;
    std::memcpy(fresh, image.pixels, size);
    asm volatile("" : : "r"(fresh) : "memory");
    std::free(fresh);
  });
  PrintBestRates("rotate", pixels, [&] { RotateImage(&image, kTurnRight); });

  // The same settings as the ImageMagick runs: hue +30 degrees, saturation 120 %, value 90 %;
  // brightness 0, contrast 120 %, gamma 150 %.
  const HsvParameters hsv = ScaleHsvNumbers(30, 120, 90);
  PrintBestRates("hsv", pixels,
                 [&] { AdjustHsv(&image, hsv.hueShift, hsv.saturationScale, hsv.valueScale); });
  const LevelParameters levels = ScaleLevelNumbers(0, 120, 150);
  PrintBestRates("levels", pixels, [&] {
    AdjustBrightnessContrastGamma(&image, levels.contrastScale, levels.brightnessShift,
                                  levels.gammaScale);
  });
  return 0;
}
