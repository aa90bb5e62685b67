#include "core/image_orientation.h"

#include <algorithm>
#include <cstddef>

#include "core/exif_orientation.h"
#include "core/rotation.h"

namespace {

// Left and right swapped, in place.
void MirrorRows(ImageBuffer* image) {
  for (int32_t y = 0; y < image->height; ++y) {
    uint8_t* left = image->pixels + ptrdiff_t{y} * image->stride;
    uint8_t* right = left + ptrdiff_t{image->width - 1} * 3;
    for (; left < right; left += 3, right -= 3) std::swap_ranges(left, left + 3, right);
  }
}

// Top and bottom swapped, in place.
void FlipRows(ImageBuffer* image) {
  for (int32_t y = 0; y < image->height / 2; ++y) {
    uint8_t* low = image->pixels + ptrdiff_t{y} * image->stride;
    uint8_t* high = image->pixels + ptrdiff_t{image->height - 1 - y} * image->stride;
    std::swap_ranges(low, low + ptrdiff_t{image->width} * 3, high);
  }
}

}  // namespace

void OrientImage(ImageBuffer* image, int orientation) {
  if (image->kind == kImageEmpty || image->bitsPerPixel != 24) return;
  switch (orientation) {
    case kOrientationMirrored:
      MirrorRows(image);
      break;
    case kOrientationUpsideDown:
      MirrorRows(image);
      FlipRows(image);
      break;
    case kOrientationFlipped:
      FlipRows(image);
      break;
    case kOrientationTransposed:  // a quarter turn right, then mirrored
      if (RotateImage(image, kTurnRight)) MirrorRows(image);
      break;
    case kOrientationTurnedRight:
      RotateImage(image, kTurnRight);
      break;
    case kOrientationTransversed:  // a quarter turn right, then flipped
      if (RotateImage(image, kTurnRight)) FlipRows(image);
      break;
    case kOrientationTurnedLeft:
      RotateImage(image, kTurnLeft);
      break;
    default:
      break;
  }
}
