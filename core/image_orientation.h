#pragma once
// Puts a picture into the position its orientation tag records (core/exif_orientation.h).

#include "core/image_buffer.h"

// Mirrors and/or turns a 24-bit image in place, so that a picture stored in `orientation`
// shows upright. Orientation 1, values out of range and an empty image change nothing; an
// image whose turned copy cannot be made stays as it is.
void OrientImage(ImageBuffer* image, int orientation);
