#pragma once

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

// Lets the Windows Imaging Component decode the file in memory (whatever its codecs read on
// this machine: PNG, TIFF, JPEG, GIF, JPEG XR, ...) into `target`, which must be empty, as a
// 24-bit image: 16-bit samples rounded to 8 bits, transparent pixels over white. `page` (0 the
// first) chooses a TIFF file's page; `pageCount` receives how many the file has, 1 for every
// other format (an animated GIF shows its first frame). False, with the target left empty,
// when the bytes are not a picture it reads, the page does not exist or the picture is too
// large for an image record.
bool ReadWicImage(const uint8_t* bytes, size_t length, int32_t page, int32_t* pageCount,
                  ImageBuffer* target);
