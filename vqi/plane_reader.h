#pragma once
// Undoes the coding stages of one VQI plane piece by piece: Huffman decoding, run-length
// expansion and delta decoding run together over each piece, so a plane never needs to be
// held whole.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vqi/huffman_reader.h"
#include "vqi/run_length.h"

struct VqiPlane;

// How decoding went: damage is told apart from a want of memory, which may be gone later.
enum class DecodeResult { kDecoded, kDamaged, kNoMemory };

class PlaneReader {
 public:
  // Damaged when the plane is so in a way its header shows: a malformed Huffman block, more
  // symbols than pixels, or an uncoded plane shorter than the pixels.
  DecodeResult Open(const uint8_t* data, const VqiPlane& plane, size_t pixelCount);

  // The next `count` bytes of the plane. False when the plane turns out damaged: a
  // run-length stream that overruns the pixels or its bytes.
  bool Read(uint8_t* out, size_t count);

 private:
  class HuffmanPacketSource : public PacketSource {
   public:
    explicit HuffmanPacketSource(HuffmanReader* reader) : reader_(reader) {}
    bool Take(uint8_t* out, size_t count) override;

   private:
    HuffmanReader* reader_;
  };

  std::unique_ptr<HuffmanReader> huffman_;
  std::unique_ptr<PacketSource> packets_;
  std::unique_ptr<RleExpander> expander_;
  const uint8_t* stored_ = nullptr;  // an uncoded plane
  bool delta_ = false;
  uint8_t sum_ = 0;
};
