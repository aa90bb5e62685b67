#pragma once
// Saving the current image as VQI from the viewer (Windows only).

#include <windows.h>

#include <cstdint>

struct ImageBuffer;

// EncodeVqiImage, with the alpha image loaded from `alphaImagePath` by the program's image
// loader when the alpha kind asks for one (an empty path adds no alpha plane). An unknown
// mode is reported in a message box. False, with nothing written (an existing file kept),
// when the alpha image cannot be loaded or the file cannot be written, which a message box
// owned by `owner` tells the user.
bool EncodeVqi(HWND owner, const char* alphaImagePath, const ImageBuffer* image,
               const char* outputPath, int mode, uint32_t options, uint32_t transparentColour);
