// Encode and decode throughput of VQI against memcpy, PNG (libspng, default level) and QOI
// on the same pixels, in processor time and in wall time, with VQI on one thread and on all
// cores. Usage: vqi_bench NAME=FILE.bmp ... [--gradient WIDTHxHEIGHT]
// Prints one table per picture; throughput is MB/s of 24-bit pixels (width x height x 3
// bytes). Lines beginning "figure" give the ratios that scripts/bench sums up.
#include <spng.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/qoi_codec.h"
#include "bench/times.h"
#include "cli/image_input.h"
#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/worker_threads.h"

namespace {

// The best processor and the best wall time of repeated runs (each the best of its own, since
// other work on a shared machine only ever adds): at least three runs, and at least a second
// in all.
template <typename Work>
Seconds Best(Work work) {
  Seconds best = {1e30, 1e30};
  double total = 0;
  for (int run = 0; run < 3 || total < 1.0; ++run) {
    const Seconds start = Now();
    work();
    const Seconds end = Now();
    best.cpu = std::min(best.cpu, end.cpu - start.cpu);
    best.wall = std::min(best.wall, end.wall - start.wall);
    total += end.wall - start.wall;
  }
  return best;
}

struct Result {
  Seconds encode;
  Seconds decode;
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
  const Seconds seconds = Best([&] { std::memcpy(copy.data(), rgb.data(), rgb.size()); });
  Check(copy == rgb, "memcpy");
  return {seconds, seconds, rgb.size()};
}

Result MeasureVqi(const ImageBuffer& image, int mode, int threads) {
  std::unique_ptr<VqiEncoding> encoding;
  const Seconds encode = Best([&] {
    encoding = std::make_unique<VqiEncoding>();
    Check(EncodeVqiParts(&image, mode, kExportDelta | kExportRle | kExportHuffman, 0, nullptr,
                         encoding.get(), threads),
          "VQI encode");
  });
  std::vector<uint8_t> file;
  for (size_t i = 0; i < encoding->partCount; ++i) {
    const auto* bytes = static_cast<const uint8_t*>(encoding->parts[i].data);
    file.insert(file.end(), bytes, bytes + encoding->parts[i].size);
  }
  ImageBuffer decoded;
  const Seconds decode = Best([&] {
    FreeImageBuffer(&decoded);
    Check(ReadVqiImageWithThreads(&decoded, file.data(), file.size(), threads), "VQI decode");
  });
  if (mode == kExportRgb) {
    Check(std::equal(image.pixels, image.pixels + image.stride * image.height, decoded.pixels),
          "VQI round trip");
  }
  return {encode, decode, file.size()};
}

Result MeasurePng(const ImageBuffer& image, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png;
  const Seconds encode = Best([&] {
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
  const Seconds decode = Best([&] {
    out.reset(new uint8_t[rgb.size()]);  // every decoder makes a new image
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, png.data(), png.size());
    Check(spng_decode_image(ctx, out.get(), rgb.size(), SPNG_FMT_RGB8, 0) == 0, "PNG decode");
    spng_ctx_free(ctx);
  });
  Check(std::equal(rgb.begin(), rgb.end(), out.get()), "PNG round trip");
  return {encode, decode, png.size()};
}

Result MeasureQoi(const ImageBuffer& image, const std::vector<uint8_t>& rgb) {
  uint8_t* qoi = nullptr;
  int length = 0;
  const Seconds encode = Best([&] {
    std::free(qoi);
    qoi = QoiEncodeRgb(rgb.data(), image.width, image.height, &length);
  });
  uint8_t* out = nullptr;
  const Seconds decode = Best([&] {
    std::free(out);
    out = QoiDecodeRgb(qoi, length);
  });
  Check(out != nullptr && std::equal(rgb.begin(), rgb.end(), out), "QOI round trip");
  std::free(qoi);
  std::free(out);
  return {encode, decode, static_cast<size_t>(length)};
}

// Runs one measurement in a child process, so that every codec starts from the same state
// of the memory allocator: whether a large block comes back from the heap or as fresh pages
// changes its cost a great deal.
Result InChild(const std::function<Result()>& measure) {
  int channel[2];
  Check(pipe(channel) == 0, "pipe");
  const pid_t child = fork();
  Check(child >= 0, "fork");
  if (child == 0) {
    const Result result = measure();
    _exit(write(channel[1], &result, sizeof result) == sizeof result ? 0 : 1);
  }
  close(channel[1]);
  Result result = {};
  const bool complete = read(channel[0], &result, sizeof result) == sizeof result;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  Check(complete && WIFEXITED(status) && WEXITSTATUS(status) == 0, "measurement");
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

constexpr int kRounds = 3;

// Each time the better of the two.
Result Better(const Result& a, const Result& b) {
  return {{std::min(a.encode.cpu, b.encode.cpu), std::min(a.encode.wall, b.encode.wall)},
          {std::min(a.decode.cpu, b.decode.cpu), std::min(a.decode.wall, b.decode.wall)},
          a.size};
}

struct Row {
  std::string codec;
  Result result;
};

void PrintRows(const std::string& name, const ImageBuffer& image, const std::vector<Row>& rows,
               const Result& png, const Result& qoi) {
  const double megabytes = static_cast<double>(image.width) * image.height * 3 / 1e6;
  std::printf("%s %dx%d\n", name.c_str(), image.width, image.height);
  for (const Row& row : rows) {
    const Result& r = row.result;
    std::printf("  %-20s %7.0f %7.0f  %7.0f %7.0f   %6.2f %6.2f   %6.2f %6.2f  %11zu %6.1f%%\n",
                row.codec.c_str(), megabytes / r.encode.cpu, megabytes / r.encode.wall,
                megabytes / r.decode.cpu, megabytes / r.decode.wall,
                png.encode.wall / r.encode.wall, png.decode.wall / r.decode.wall,
                qoi.encode.wall / r.encode.wall, qoi.decode.wall / r.decode.wall, r.size,
                100.0 * static_cast<double>(r.size) / (megabytes * 1e6));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int cores = ProcessorCount();
  std::printf(
      "MB/s of 24-bit pixels, processor time (all threads) and wall time, each the best\n"
      "of several runs; ratios are this codec's speed over PNG's and QOI's in wall\n"
      "time. VQI on 1 thread, and on %d (the processor's cores).\n",
      cores);
  std::printf("%-22s %15s  %15s   %-13s   %-13s  %11s %7s\n", "picture / codec", "encode MB/s",
              "decode MB/s", "xPNG enc dec", "xQOI enc dec", "size", "of raw");
  std::printf("%-22s %7s %7s  %7s %7s\n", "", "CPU", "wall", "CPU", "wall");
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
    char threaded[32];
    std::snprintf(threaded, sizeof threaded, " %d threads", cores);
    // Every codec is measured in each of several rounds, and keeps its best: a machine shared
    // with other work is quiet now and then, and each codec gets the same chances.
    std::vector<Row> rows;
    std::vector<std::function<Result()>> measures;
    rows.push_back({"memcpy", {}});
    measures.push_back([&] { return MeasureMemcpy(rgb); });
    for (int mode : {kExportLuma, kExportRgb}) {
      const char* codec = mode == kExportLuma ? "VQI default" : "VQI rgb";
      rows.push_back({std::string(codec) + " 1 thread", {}});
      measures.push_back([&image, mode] { return MeasureVqi(image, mode, 1); });
      rows.push_back({std::string(codec) + threaded, {}});
      measures.push_back([&image, mode, cores] { return MeasureVqi(image, mode, cores); });
    }
    rows.push_back({"PNG", {}});
    measures.push_back([&] { return MeasurePng(image, rgb); });
    rows.push_back({"QOI", {}});
    measures.push_back([&] { return MeasureQoi(image, rgb); });
    for (int round = 0; round < kRounds; ++round) {
      for (size_t i = 0; i < rows.size(); ++i) {
        const Result result = InChild(measures[i]);
        rows[i].result = round == 0 ? result : Better(rows[i].result, result);
      }
    }
    const Result& png = rows[rows.size() - 2].result;
    const Result& qoi = rows[rows.size() - 1].result;
    PrintRows(name, image, rows, png, qoi);
    // The default mode's figures, for the summary.
    const Result& single = rows[1].result;
    const Result& many = rows[2].result;
    const struct {
      const char* key;
      double value;
    } figures[] = {
        {"decode-wall-threads-png", png.decode.wall / many.decode.wall},
        {"decode-wall-threads-qoi", qoi.decode.wall / many.decode.wall},
        {"decode-cpu-1-png", png.decode.cpu / single.decode.cpu},
        {"decode-wall-1-png", png.decode.wall / single.decode.wall},
        {"encode-cpu-1-png", png.encode.cpu / single.encode.cpu},
        {"encode-wall-threads-png", png.encode.wall / many.encode.wall},
    };
    for (const auto& figure : figures) {
      std::printf("figure %s %s %.2f\n", name.c_str(), figure.key, figure.value);
    }
    std::fflush(stdout);
  }
  return 0;
}
