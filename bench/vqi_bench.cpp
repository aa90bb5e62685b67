// Encode and decode throughput of VQI against memcpy, PNG (libspng, default level) and QOI
// on the same pixels. Usage: vqi_bench NAME=FILE.bmp ... [--gradient WIDTHxHEIGHT]
// Prints one table; throughput is MB/s of 24-bit pixels (width x height x 3 bytes).
#include <spng.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench/qoi_codec.h"
#include "cli/image_input.h"
#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"

namespace {

double Now() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);  // CPU time: the machine may be shared
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The best time of repeated runs: at least three, and at least a second in all.
template <typename Work>
double BestSeconds(Work work) {
  double best = 1e30;
  double total = 0;
  for (int run = 0; run < 3 || total < 1.0; ++run) {
    const double start = Now();
    work();
    const double seconds = Now() - start;
    best = std::min(best, seconds);
    total += seconds;
  }
  return best;
}

struct Result {
  std::string codec;
  double encodeSeconds;
  double decodeSeconds;
  size_t size;
};

// Packed RGB, top row first: what PNG and QOI take.
std::vector<uint8_t> PackedRgb(const ImageBuffer& image) {
  std::vector<uint8_t> rgb(static_cast<size_t>(image.width) * image.height * 3);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels + static_cast<size_t>(image.height - 1 - y) * image.stride;
    uint8_t* out = rgb.data() + static_cast<size_t>(y) * image.width * 3;
    for (int32_t x = 0; x < image.width; ++x) {
      out[3 * x] = row[3 * x + 2];
      out[3 * x + 1] = row[3 * x + 1];
      out[3 * x + 2] = row[3 * x];
    }
  }
  return rgb;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "vqi_bench: %s failed\n", what);
    std::exit(1);
  }
}

Result MeasureMemcpy(const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> copy(rgb.size());
  const double seconds = BestSeconds([&] { std::memcpy(copy.data(), rgb.data(), rgb.size()); });
  Check(copy == rgb, "memcpy");
  return {"memcpy", seconds, seconds, rgb.size()};
}

Result MeasureVqi(const ImageBuffer& image, int mode) {
  std::unique_ptr<VqiEncoding> encoding;
  const double encode = BestSeconds([&] {
    encoding = std::make_unique<VqiEncoding>();
    Check(EncodeVqiParts(&image, mode, kExportDelta | kExportRle | kExportHuffman, 0, nullptr,
                         encoding.get(), 1),
          "VQI encode");
  });
  std::vector<uint8_t> file;
  for (size_t i = 0; i < encoding->partCount; ++i) {
    const auto* bytes = static_cast<const uint8_t*>(encoding->parts[i].data);
    file.insert(file.end(), bytes, bytes + encoding->parts[i].size);
  }
  ImageBuffer decoded;
  const double decode = BestSeconds([&] {
    FreeImageBuffer(&decoded);
    Check(ReadVqiImage(&decoded, file.data(), file.size()), "VQI decode");
  });
  if (mode == kExportRgb) {
    Check(std::equal(image.pixels, image.pixels + image.stride * image.height, decoded.pixels),
          "VQI round trip");
  }
  return {"VQI", encode, decode, file.size()};
}

Result MeasurePng(const ImageBuffer& image, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png;
  const double encode = BestSeconds([&] {
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr = {};
    ihdr.width = static_cast<uint32_t>(image.width);
    ihdr.height = static_cast<uint32_t>(image.height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    spng_set_ihdr(ctx, &ihdr);
    Check(spng_encode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0,
          "PNG encode");
    size_t length = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(ctx, &length, &error);
    Check(buffer != nullptr, "PNG buffer");
    spng_ctx_free(ctx);
    png.assign(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + length);
    std::free(buffer);
  });
  std::unique_ptr<uint8_t[]> out;
  const double decode = BestSeconds([&] {
    out.reset(new uint8_t[rgb.size()]);  // every decoder makes a new image
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, png.data(), png.size());
    Check(spng_decode_image(ctx, out.get(), rgb.size(), SPNG_FMT_RGB8, 0) == 0, "PNG decode");
    spng_ctx_free(ctx);
  });
  Check(std::equal(rgb.begin(), rgb.end(), out.get()), "PNG round trip");
  return {"PNG", encode, decode, png.size()};
}

Result MeasureQoi(const ImageBuffer& image, const std::vector<uint8_t>& rgb) {
  uint8_t* qoi = nullptr;
  int length = 0;
  const double encode = BestSeconds([&] {
    std::free(qoi);
    qoi = QoiEncodeRgb(rgb.data(), image.width, image.height, &length);
  });
  uint8_t* out = nullptr;
  const double decode = BestSeconds([&] {
    std::free(out);
    out = QoiDecodeRgb(qoi, length);
  });
  Check(out != nullptr && std::equal(rgb.begin(), rgb.end(), out), "QOI round trip");
  std::free(qoi);
  std::free(out);
  return {"QOI", encode, decode, static_cast<size_t>(length)};
}

// Runs one measurement in a child process, so that every codec starts from the same state
// of the memory allocator: whether a large block comes back from the heap or as fresh pages
// changes its cost a great deal.
template <typename Measure>
Result InChild(Measure measure) {
  int channel[2];
  Check(pipe(channel) == 0, "pipe");
  const pid_t child = fork();
  Check(child >= 0, "fork");
  if (child == 0) {
    const Result result = measure();
    const double numbers[3] = {result.encodeSeconds, result.decodeSeconds,
                               static_cast<double>(result.size)};
    _exit(write(channel[1], numbers, sizeof numbers) == sizeof numbers ? 0 : 1);
  }
  close(channel[1]);
  double numbers[3] = {};
  const bool complete = read(channel[0], numbers, sizeof numbers) == sizeof numbers;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  Check(complete && WIFEXITED(status) && WEXITSTATUS(status) == 0, "measurement");
  return {"", numbers[0], numbers[1], static_cast<size_t>(numbers[2])};
}

Result Named(const char* name, Result result) {
  result.codec = name;
  return result;
}

void MakeGradient(ImageBuffer* image, int32_t width, int32_t height) {
  Check(CreateImageBuffer(image, width, 24, height), "gradient");
  for (int32_t row = 0; row < height; ++row) {
    uint8_t* p = image->pixels + static_cast<size_t>(row) * image->stride;
    for (int32_t x = 0; x < width; ++x, p += 3) {
      p[0] = static_cast<uint8_t>(255 * x / width);
      p[1] = static_cast<uint8_t>(255 * row / height);
      p[2] = static_cast<uint8_t>(255 - 255 * (x + row) / (width + height));
    }
  }
}

void PrintRows(const std::string& name, const ImageBuffer& image, const std::vector<Result>& rows) {
  const double megabytes = static_cast<double>(image.width) * image.height * 3 / 1e6;
  const Result& memcpyRow = rows[0];
  const Result& pngRow = rows[rows.size() - 2];
  const Result& qoiRow = rows[rows.size() - 1];
  std::printf("%-9s %-9s %5dx%-5d", name.c_str(), "", image.width, image.height);
  std::printf("\n");
  for (const Result& r : rows) {
    std::printf("  %-14s %9.0f %9.0f   %7.4f %7.4f   %6.2f %6.2f   %6.2f %6.2f   %11zu %6.1f%%\n",
                r.codec.c_str(), megabytes / r.encodeSeconds, megabytes / r.decodeSeconds,
                memcpyRow.encodeSeconds / r.encodeSeconds,
                memcpyRow.decodeSeconds / r.decodeSeconds, pngRow.encodeSeconds / r.encodeSeconds,
                pngRow.decodeSeconds / r.decodeSeconds, qoiRow.encodeSeconds / r.encodeSeconds,
                qoiRow.decodeSeconds / r.decodeSeconds, r.size,
                100.0 * static_cast<double>(r.size) / (megabytes * 1e6));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("%-16s %9s %9s   %-15s   %-13s   %-13s   %11s %7s\n", "image / codec", "enc MB/s",
              "dec MB/s", "xmemcpy enc dec", "xPNG enc dec", "xQOI enc dec", "size", "of raw");
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    std::string name;
    ImageBuffer image;
    if (argument == "--gradient" && i + 1 < argc) {
      int width = 0, height = 0;
      Check(std::sscanf(argv[++i], "%dx%d", &width, &height) == 2, "gradient size");
      MakeGradient(&image, width, height);
      name = "gradient";
    } else {
      const size_t equals = argument.find('=');
      Check(equals != std::string::npos, "argument NAME=FILE");
      name = argument.substr(0, equals);
      std::string reason;
      Check(ReadInputImage(argument.substr(equals + 1).c_str(), &image, &reason), "reading input");
    }
    const std::vector<uint8_t> rgb = PackedRgb(image);
    std::vector<Result> rows;
    rows.push_back(Named("memcpy", InChild([&] { return MeasureMemcpy(rgb); })));
    rows.push_back(Named("VQI (default)", InChild([&] { return MeasureVqi(image, kExportLuma); })));
    rows.push_back(Named("VQI rgb", InChild([&] { return MeasureVqi(image, kExportRgb); })));
    rows.push_back(Named("PNG", InChild([&] { return MeasurePng(image, rgb); })));
    rows.push_back(Named("QOI", InChild([&] { return MeasureQoi(image, rgb); })));
    PrintRows(name, image, rows);
    std::fflush(stdout);
  }
  return 0;
}
