#include "core/bmp_writer.h"

#include "core/bmp_format.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"

bool WriteBmpFile(const char* path, const ImageBuffer* image) {
  if (image->kind == kImageEmpty) return false;
  uint8_t fileHeader[kBmpFileHeaderSize];
  BuildBmpFileHeader(*image, fileHeader);
  const ByteSpan parts[] = {
      {fileHeader, sizeof fileHeader},
      {&image->info.header, sizeof image->info.header},
      {image->pixels, image->info.header.biSizeImage},
  };
  return ReplaceFileContents(path, parts, 3);
}
