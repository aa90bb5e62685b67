#include "core/path_text.h"

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

long LastPathSeparator(const char* path, size_t length) {
  long last = -1;
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (IsCp932LeadByte(byte)) {
      ++i;
    } else if (byte == '\\') {
      last = static_cast<long>(i);
    }
  }
  return last;
}
