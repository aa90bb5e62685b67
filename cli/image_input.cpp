#include "cli/image_input.h"

#include <cstdio>

#include "cli/png_file.h"
#include "core/bmp_decoder.h"
#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_file.h"
#include "vqi/worker_threads.h"

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  bytes->clear();
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes->insert(bytes->end(), chunk, chunk + got);
  }
  const bool complete = !std::ferror(file);
  std::fclose(file);
  return complete;
}

bool ReadInputImage(const char* path, ImageBuffer* target, std::string* reason) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *reason = "cannot read the file";
    return false;
  }
  bool noMemory = false;
  if (HasVqiMagic(bytes.data(), bytes.size())) {
    if (ReadVqiImageWithThreads(target, bytes.data(), bytes.size(), ProcessorCount(), &noMemory)) {
      return true;
    }
    *reason = noMemory ? kNotEnoughMemory : "damaged VQI file";
    return false;
  }
  if (HasPngSignature(bytes.data(), bytes.size())) {
    if (DecodePngImage(bytes.data(), bytes.size(), target)) return true;
    *reason = "damaged PNG file, or not enough memory";
    return false;
  }
  if (DecodeBmpImage(bytes.data(), bytes.size(), target, &noMemory)) return true;
  *reason = noMemory ? kNotEnoughMemory : "not a BMP, PNG or VQI image this program reads";
  return false;
}
