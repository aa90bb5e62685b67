#pragma once
// Hue, saturation and value adjustment in integer fixed point: 1024 units per sixth of the hue
// circle (6144 per turn), 1024 for a saturation or value scale of 100 %.

#include <cstdint>

#include "core/image_buffer.h"

inline constexpr int32_t kHueTurn = 6144;

// Shifts the hue and scales the saturation and value of the first `width` pixels of every row
// of a 24-bit image; the row padding is left alone. Negative scales count as 0.
void AdjustHsv(ImageBuffer* image, int32_t hueShift, int32_t saturationScale, int32_t valueScale);
