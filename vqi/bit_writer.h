#pragma once
// Packs codes least significant bit first: stream bit k is bit (k mod 8) of byte (k div 8).
// Bits gather in a 64-bit word and leave it 32 at a time, which gives the same bytes as
// writing them one by one.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct BitWriter {
  uint8_t* out;
  size_t bytePosition = 0;
  uint64_t pending = 0;
  int pendingBits = 0;

  explicit BitWriter(uint8_t* output) : out(output) {}

  // `length` is 1 to 31; bits of `code` above it must be zero.
  void Append(uint32_t code, int length) {
    pending |= uint64_t{code} << pendingBits;
    pendingBits += length;
    if (pendingBits >= 32) {
      const uint32_t word = static_cast<uint32_t>(pending);
      const uint8_t bytes[4] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                                static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
      std::memcpy(out + bytePosition, bytes, 4);
      bytePosition += 4;
      pending >>= 32;
      pendingBits -= 32;
    }
  }

  // Writes the partly filled bytes (unused high bits zero); gives the stream length in bytes.
  size_t Finish() {
    while (pendingBits > 0) {
      out[bytePosition++] = static_cast<uint8_t>(pending);
      pending >>= 8;
      pendingBits -= 8;
    }
    pendingBits = 0;
    return bytePosition;
  }
};
