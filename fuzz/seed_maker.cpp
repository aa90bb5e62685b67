// Writes seed inputs for the fuzz targets from encoder output: small VQI files of every
// mode and alpha kind, Huffman blocks and run-length streams; and two files with an
// orientation tag.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/image_buffer.h"
#include "vqi/huffman.h"
#include "vqi/run_length.h"
#include "vqi/vqi_encoder.h"

namespace {

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// Flat areas, a gradient and some noise: every stage has something to do.
std::vector<uint8_t> SamplePlane(int width, int height, int seed) {
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * height);
  uint32_t noise = 12345u + seed;
  for (size_t k = 0; k < bytes.size(); ++k) {
    noise = noise * 1103515245u + 12345u;
    const size_t x = k % width;
    bytes[k] =
        x < static_cast<size_t>(width / 3) ? 200 : static_cast<uint8_t>(k / 3 + (noise >> 28));
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 1;
  const std::string folder = argv[1];
  const int sizes[][2] = {{1, 1}, {5, 3}, {16, 16}, {40, 9}};
  int n = 0;
  for (const auto& size : sizes) {
    ImageBuffer image;
    if (!CreateImageBuffer(&image, size[0], 24, size[1])) return 1;
    const std::vector<uint8_t> plane = SamplePlane(size[0] * 3, size[1], n);
    for (int row = 0; row < size[1]; ++row) {
      for (int x = 0; x < size[0] * 3; ++x) {
        image.pixels[row * image.stride + x] = plane[row * size[0] * 3 + x];
      }
    }
    for (int mode = 0; mode < 3; ++mode) {
      for (uint32_t options : {7u, 6u, 1u, 3u, 5u, 0x107u}) {
        const std::string path = folder + "/vqi_file_fuzzer/seed" + std::to_string(n++) + ".vqi";
        EncodeVqiImage(&image, path.c_str(), mode, options, 0xC8C8C8, nullptr);
      }
    }
  }
  for (int i = 0; i < 6; ++i) {
    const std::vector<uint8_t> input = SamplePlane(50 + 40 * i, 1 + i, i);
    std::vector<uint8_t> block(input.size() + kHuffmanHeaderSize + kMaxHuffmanTableLength);
    const int64_t length = HuffmanEncode(block.data(), block.size(), input.data(), input.size());
    if (length > 0) {
      block.resize(static_cast<size_t>(length));
      WriteFile(folder + "/huffman_fuzzer/seed" + std::to_string(i), block);
    }
    std::vector<uint8_t> stream(2 + input.size() + 1024);
    const size_t streamLength =
        RleEncode(stream.data() + 2, stream.size() - 2, input.data(), input.size());
    stream[0] = static_cast<uint8_t>(input.size());
    stream[1] = static_cast<uint8_t>(input.size() >> 8);
    stream.resize(streamLength + 2);
    WriteFile(folder + "/run_length_fuzzer/seed" + std::to_string(i), stream);
  }
  // The tag in a JPEG file's EXIF block (Intel order), and on the second page of a TIFF file
  // (Motorola order; the last byte chooses the page).
  const std::string exif[] = {
      std::string("\xFF\xD8\xFF\xE1\x00\x22"
                  "Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0"
                  "\xFF\xDA\x00\x02\xFF\xD9",
                  44),
      std::string("MM\0*\0\0\0\x08\0\x01\x01\x00\x00\x04\0\0\0\x01\0\0\x02\x80\0\0\0\x1A"
                  "\0\x01\x01\x12\0\x03\0\0\0\x01\0\x08\0\0\0\0\0\0\x01",
                  45)};
  for (int i = 0; i < 2; ++i) {
    WriteFile(folder + "/exif_orientation_fuzzer/seed" + std::to_string(i),
              {exif[i].begin(), exif[i].end()});
  }
  return 0;
}
