#pragma once
// Writes the image record through the Windows Imaging Component's encoders.

#include <cstdint>

#include "core/byte_sink.h"

struct ImageBuffer;

enum class WicFileFormat { kPng, kJpeg, kTiff };

// Encodes the 24-bit image into the sink as a file of the format, with the image's resolution
// where it is known; `jpegQuality` (1 to 100) is used for JPEG only. False when the encoder or
// the sink failed; the sink may then hold part of a file.
bool EncodeWicImage(const ImageBuffer& image, WicFileFormat format, int32_t jpegQuality,
                    ByteSink sink);
