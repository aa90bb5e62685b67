#pragma once
// Turning the pixel data of a BMP file into a 24-bit image without the system's help, for
// the builds that have none (the command-line converter on every platform). Platform-free.

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

// Decodes an uncompressed BMP of 1, 4, 8 (with a colour table), 16, 24 or 32 bits (bit
// fields included), bottom-up or top-down, or a run-length compressed one of 4 or 8 bits,
// into the empty `target`. False, with the target left empty, for a file that ParseBmpFile
// refuses and when no memory is left, which `noMemory`, unless null, tells.
bool DecodeBmpImage(const uint8_t* bytes, size_t length, ImageBuffer* target,
                    bool* noMemory = nullptr);
