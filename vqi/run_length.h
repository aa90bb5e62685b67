#pragma once
// Run-length packets of VQI planes: a 16-bit little-endian word W, then either one byte
// repeated W − 32768 times (W ≥ 32768), W literal bytes (0 < W < 32768), or the end (W = 0).

#include <cstddef>
#include <cstdint>

inline constexpr int kRunMinimum = 6;
inline constexpr int kRunMaximum = 32760;
inline constexpr int kLiteralMaximum = 32767;
// Room beyond the input length that an output buffer of RleEncode needs.
inline constexpr size_t kRleOutputSlack = 1024;

// Writes the packets for `length` bytes, closed by the end word, into `output` (room for
// length + kRleOutputSlack) and gives the stream's length.
size_t RleEncode(uint8_t* output, const uint8_t* input, size_t length);

// Expands packets from `input` (`inputLength` bytes) into `output` until `size` bytes have
// been produced or the end word is met; bytes not produced are left as they were. False when
// a packet reaches beyond `size` or beyond the input.
bool RleDecode(uint8_t* output, const uint8_t* input, size_t inputLength, size_t size);
