#include "scan/twain_protocol.h"

#include <cstring>

#include "core/path_text.h"

void CopyTwString(char field[34], const char* text) {
  size_t length = 0;
  // A double-byte character that would not fit whole is left out, never split.
  while (text[length] != '\0' && length < kTwStringLength) {
    const size_t size = IsCp932LeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + size > kTwStringLength || (size == 2 && text[length + 1] == '\0')) break;
    length += size;
  }
  std::memcpy(field, text, length);
  std::memset(field + length, 0, 34 - length);
}

int32_t DotsPerInchFromOneValue(const TwOneValue& value) {
  if (value.ItemType != TWTY_FIX32) return 0;
  const auto whole = static_cast<int16_t>(value.Item & 0xFFFF);
  const uint32_t fraction = value.Item >> 16;
  return whole > 0 ? whole + (fraction >= 0x8000 ? 1 : 0) : 0;
}
