#pragma once
// Packs codes least significant bit first: stream bit k is bit (k mod 8) of byte (k div 8).
// Bits gather in a 64-bit word that is stored whole after every code while eight bytes of the
// stream remain, and byte by byte near its end; the bytes are the same either way.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct BitWriter {
  uint8_t* out;
  size_t end;  // the stream's length in bytes: nothing is written beyond it
  size_t bytePosition = 0;
  uint64_t pending = 0;  // bits not yet in whole bytes, and zeros above them
  int pendingBits = 0;

  BitWriter(uint8_t* output, size_t length) : out(output), end(length) {}

  // `length` is 1 to 31; bits of `code` above it must be zero.
  void Append(uint32_t code, int length) {
    Add(code, length);
    Flush();
  }

  // Gathers a code without writing it: at most 57 bits may gather between two Flush() calls
  // (Flush leaves fewer than 8).
  void Add(uint32_t code, int length) {
    pending |= uint64_t{code} << pendingBits;
    pendingBits += length;
  }

  // Writes the whole bytes gathered.
  void Flush() {
    if (bytePosition + 8 <= end) {
      uint64_t word = pending;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
      word = __builtin_bswap64(word);
#endif
      std::memcpy(out + bytePosition, &word, 8);
      bytePosition += static_cast<size_t>(pendingBits >> 3);
      pending >>= pendingBits & ~7;
      pendingBits &= 7;
    } else {
      while (pendingBits >= 8) {
        out[bytePosition++] = static_cast<uint8_t>(pending);
        pending >>= 8;
        pendingBits -= 8;
      }
    }
  }

  // Writes the partly filled byte (unused high bits zero); gives the stream length in bytes.
  size_t Finish() {
    if (pendingBits > 0) out[bytePosition++] = static_cast<uint8_t>(pending);
    pending = 0;
    pendingBits = 0;
    return bytePosition;
  }
};
