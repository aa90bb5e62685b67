#pragma once
// How large the image is printed: the full printable width, or the full height when the
// width fit would leave less than a 64-pixel band at the bottom. Platform-free.

#include "shell/view_geometry.h"

ViewSize PrintedSize(ViewSize printable, ViewSize image);
