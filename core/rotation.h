#pragma once
// Quarter turns of the current image.

#include "core/image_buffer.h"

inline constexpr int kTurnLeft = -1;   // counter-clockwise
inline constexpr int kTurnRight = +1;  // clockwise

// Turns a 24-bit image a quarter turn in place: the record keeps its identity and now owns the
// turned pixels, its resolutions across and down swapped. An empty image, or one whose turned
// copy cannot be made, stays as it is, and the result is false.
bool RotateImage(ImageBuffer* image, int direction);
