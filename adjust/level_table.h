#pragma once
// Brightness, contrast and gamma through one table of 256 levels.

#include <cstdint>

#include "core/image_buffer.h"

// Fills `table` with the level that each byte value becomes. The brightness shift is added to
// the input level before the gamma curve (which gamma scale / 1024 bends), and the contrast
// scale (1024 for 100 %) then stretches the result around level 128.
// False, with the table untouched, when gammaScale is 0 or less.
bool BuildLevelTable(int32_t contrastScale, int32_t brightnessShift, int32_t gammaScale,
                     uint8_t table[256]);

// Maps every byte of every row of the image, the row padding included, through the table.
void ApplyLevelTable(ImageBuffer* image, const uint8_t table[256]);

// BuildLevelTable then ApplyLevelTable; a gamma scale of 0 or less leaves the image as it is.
void AdjustBrightnessContrastGamma(ImageBuffer* image, int32_t contrastScale,
                                   int32_t brightnessShift, int32_t gammaScale);
