#pragma once
// The arithmetic of the resize dialog: keeping the aspect ratio, switching between pixels and
// percent, and checking the size asked for. W and H are the present width and height; every
// division truncates, and a present size of 0 gives 0 instead of dividing by it.

#include <cstdint>

inline constexpr uint32_t kMaxResizeSide = 65535;

enum SizeUnit : int { kResizePixels = 0, kResizePercent = 1 };

struct ResizeNumbers {
  uint32_t width;
  uint32_t height;
};

// The height that keeps the ratio for a typed width (H × w / W), and the other way round.
uint32_t HeightForWidth(ResizeNumbers present, uint32_t width);
uint32_t WidthForHeight(ResizeNumbers present, uint32_t height);

// The edits' numbers in the other unit: pixels to percent (w × 100 / W) or back (W × w / 100).
ResizeNumbers ConvertResizeNumbers(ResizeNumbers present, ResizeNumbers typed, SizeUnit from);

// The size in pixels that the typed numbers ask for; false when either side is 0 or more
// than kMaxResizeSide.
bool ResizeTarget(ResizeNumbers present, ResizeNumbers typed, SizeUnit unit, ResizeNumbers* target);
