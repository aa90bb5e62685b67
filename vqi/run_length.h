#pragma once
// Run-length packets of VQI planes: a 16-bit little-endian word W, then either one byte
// repeated W − 32768 times (W ≥ 32768), W literal bytes (0 < W < 32768), or the end (W = 0).

#include <cstddef>
#include <cstdint>

inline constexpr int kRunMinimum = 6;
inline constexpr int kRunMaximum = 32760;
inline constexpr int kLiteralMaximum = 32767;
// Writes the packets for `length` bytes, closed by the end word, into `output` and gives the
// stream's length; 0, with the output holding no stream, when the stream would need more than
// `capacity` bytes. Nothing is written beyond `capacity` bytes. (Bytes without runs grow by
// two bytes in every 32 763.)
size_t RleEncode(uint8_t* output, size_t capacity, const uint8_t* input, size_t length);

// Expands packets from `input` (`inputLength` bytes) into `output` until `size` bytes have
// been produced or the end word is met; bytes after an early end word are set to zero. False
// when a packet reaches beyond `size` or beyond the input.
bool RleDecode(uint8_t* output, const uint8_t* input, size_t inputLength, size_t size);

// Where run-length packets come from: stored bytes, or the output of a Huffman stage.
class PacketSource {
 public:
  virtual ~PacketSource() = default;
  // Copies the next `count` bytes to `out`; false when fewer remain.
  virtual bool Take(uint8_t* out, size_t count) = 0;
};

class MemoryPacketSource : public PacketSource {
 public:
  MemoryPacketSource(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}
  bool Take(uint8_t* out, size_t count) override;

 private:
  const uint8_t* bytes_;
  size_t length_;
  size_t position_ = 0;
};

// Expands a packet stream piece by piece into `size` bytes, with the checks of RleDecode.
class RleExpander {
 public:
  RleExpander(PacketSource* source, size_t size) : source_(source), undeclared_(size) {}

  // The next `count` bytes of the expansion; false when the stream is damaged.
  bool Read(uint8_t* out, size_t count);

 private:
  PacketSource* source_;
  size_t undeclared_;  // bytes of the expansion that no packet has claimed yet
  size_t runLeft_ = 0;
  uint8_t runValue_ = 0;
  size_t literalLeft_ = 0;
  bool ended_ = false;
};
