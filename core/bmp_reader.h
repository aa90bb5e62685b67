#pragma once

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

// Reads a whole BMP file into the empty `target` as a 24-bit image, upright whatever the
// file's row order. A file whose header, colour table or pixel data do not fit its length is
// refused with the target untouched. When the checked file is one the system's conversion
// still rejects, the target keeps a black image of the file's size and the result is false.
bool ReadBmpImage(const uint8_t* bytes, size_t length, ImageBuffer* target);
