#pragma once
// Checking the device-independent bitmap that an image-loader plug-in hands back: the
// information block and the pixel data come from a module outside the program, so both are
// measured against the sizes of the memory that holds them before anything reads them.
// Platform-free.

#include <cstddef>
#include <cstdint>

#include "core/bmp_format.h"

struct ImageBuffer;

struct PluginBitmap {
  // A 40-byte header, the full colour table (entries the plug-in left out black) or the
  // bit-field masks; biSizeImage is the exact length of the pixel data read.
  DibInfoWithColors info;
  int32_t width;
  int32_t height;  // rows, whatever their order
  bool topDown;
};

// False when the information is not a bitmap the program reads (uncompressed 1, 4, 8, 16,
// 24 or 32 bits, or bit fields of 16 or 32) or when the header, the colour table or the
// pixel rows do not fit the memory given.
bool CheckPluginBitmap(const uint8_t* info, size_t infoSize, size_t pixelSize, PluginBitmap* out);

// True for results whose rows are already the image record's own layout.
bool IsPlain24BitBitmap(const PluginBitmap& bitmap);

// Copies the rows of a plain 24-bit result into `target`, an image of the same size,
// turning top-down rows upright.
void CopyPlain24BitRows(const PluginBitmap& bitmap, const uint8_t* pixels, ImageBuffer* target);
