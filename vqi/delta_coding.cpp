#include "vqi/delta_coding.h"

void DeltaEncode(uint8_t* bytes, size_t length) {
  for (size_t k = length; k > 1; --k)
    bytes[k - 1] = static_cast<uint8_t>(bytes[k - 1] - bytes[k - 2]);
}

uint8_t DeltaDecode(uint8_t* bytes, size_t length, uint8_t sum) {
  for (size_t k = 0; k < length; ++k) {
    sum = static_cast<uint8_t>(sum + bytes[k]);
    bytes[k] = sum;
  }
  return sum;
}
