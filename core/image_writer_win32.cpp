#include "core/image_writer.h"

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "core/wic_writer.h"

bool WriteImageFile(const char* path, const ImageBuffer& image, ImageFileFormat format,
                    int32_t jpegQuality) {
  if (format == ImageFileFormat::kBmp) return WriteBmpFile(path, &image);
  if (image.kind == kImageEmpty) return false;
  const WicFileFormat wicFormat = format == ImageFileFormat::kPng    ? WicFileFormat::kPng
                                  : format == ImageFileFormat::kJpeg ? WicFileFormat::kJpeg
                                                                     : WicFileFormat::kTiff;
  FileReplacement file;
  if (!BeginFileReplacement(&file, path)) return false;
  if (!EncodeWicImage(image, wicFormat, jpegQuality, FileReplacementSink(&file))) {
    AbandonFileReplacement(&file);
    return false;
  }
  return CommitFileReplacement(&file);
}
