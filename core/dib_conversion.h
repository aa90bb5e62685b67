#pragma once
// The system's conversion of a checked DIB (any depth, colour table, masks or row order) into
// the 24-bit pixels of an image. Windows only.

#include <windows.h>

#include <cstdint>

#include "core/bmp_format.h"
#include "core/image_buffer.h"

// Draws the DIB described by `info` (whose biSizeImage bounds what is read of `pixels`) into
// `target`, which holds an image of its size; the conversion goes through a bitmap compatible
// with `reference`. False when the system rejects the DIB.
bool DrawDibInto(const DibInfoWithColors& info, const uint8_t* pixels, HDC reference,
                 ImageBuffer* target);
