#pragma once
// Writing the image record as a file of any format the program writes.

#include <cstdint>

#include "core/image_file_names.h"

struct ImageBuffer;

// Writes the image as a file of the format (`jpegQuality` 1 to 100 for JPEG). False for an
// empty image or a failed write; an existing file is replaced only by a complete one.
bool WriteImageFile(const char* path, const ImageBuffer& image, ImageFileFormat format,
                    int32_t jpegQuality);
