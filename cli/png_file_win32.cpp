#include "cli/png_file.h"

#include "core/image_writer.h"
#include "core/wic_reader.h"

bool DecodePngImage(const uint8_t* bytes, size_t length, ImageBuffer* target) {
  int32_t pages = 0;
  return ReadWicImage(bytes, length, 0, &pages, target);
}

bool WritePngFile(const char* path, const ImageBuffer& image) {
  return WriteImageFile(path, image, ImageFileFormat::kPng, 0);
}
