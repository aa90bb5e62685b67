#pragma once
// QOI, the reference coder from Debian's libqoi-dev, behind a small interface: its single
// header is compiled in its own file. Results are malloc'd; the caller frees them.

#include <cstdint>

uint8_t* QoiEncodeRgb(const uint8_t* rgb, int width, int height, int* length);
uint8_t* QoiDecodeRgb(const uint8_t* qoi, int length);
