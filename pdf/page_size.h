#pragma once
// A page's size in points (1/72 inch): the picture's printed size.

#include <cstdint>

struct PageSize {
  double width;
  double height;
};

// Pixels × 72 / dpi on each axis. A resolution of 0 (unknown) takes the other axis's; with
// both unknown, the larger of 96 dpi and the resolution at which the picture just fits an A4
// sheet, upright or across, so that a scan whose resolution was lost still prints on A4.
PageSize PrintedPageSize(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY);
