// Feeds arbitrary blocks to the Huffman decoder; the output is sized by the block's own
// symbol count, capped as the VQI decoder caps it by the plane size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vqi/huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr int64_t kMaximum = 1 << 16;
  HuffmanBlockFields fields;
  if (!ReadHuffmanBlockFields(data, size, &fields)) return 0;
  const int64_t count = fields.symbolCount < kMaximum ? fields.symbolCount : kMaximum;
  std::vector<uint8_t> output(static_cast<size_t>(count));
  HuffmanDecode(output.data(), data, size, kMaximum);
  return 0;
}
