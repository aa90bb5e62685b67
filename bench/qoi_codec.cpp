#include "bench/qoi_codec.h"

#define QOI_IMPLEMENTATION
#include <qoi.h>

uint8_t* QoiEncodeRgb(const uint8_t* rgb, int width, int height, int* length) {
  const qoi_desc desc = {static_cast<unsigned>(width), static_cast<unsigned>(height), 3, QOI_SRGB};
  return static_cast<uint8_t*>(qoi_encode(rgb, &desc, length));
}

uint8_t* QoiDecodeRgb(const uint8_t* qoi, int length) {
  qoi_desc desc;
  return static_cast<uint8_t*>(qoi_decode(qoi, length, &desc, 3));
}
