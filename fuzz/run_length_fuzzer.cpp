// Feeds arbitrary packet streams to the run-length decoder; the first two bytes choose the
// output size. Whatever it accepts must be what the encoder makes again of the result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vqi/run_length.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t outputSize = data[0] | size_t{data[1]} << 8;
  std::vector<uint8_t> output(outputSize, 0);
  if (!RleDecode(output.data(), data + 2, size - 2, outputSize)) return 0;
  // The encoder's stream for these bytes must expand to them again.
  std::vector<uint8_t> packets(outputSize + 1024);
  const size_t length = RleEncode(packets.data(), packets.size(), output.data(), outputSize);
  packets.resize(length);
  std::vector<uint8_t> again(outputSize, 0);
  if (!RleDecode(again.data(), packets.data(), length, outputSize) || again != output) std::abort();
  // The same stream in exactly its room; one byte less and the encoder gives up.
  std::vector<uint8_t> exact(length);
  if (RleEncode(exact.data(), length, output.data(), outputSize) != length || exact != packets) {
    std::abort();
  }
  std::vector<uint8_t> tooSmall(length - 1);
  if (RleEncode(tooSmall.data(), length - 1, output.data(), outputSize) != 0) std::abort();
  return 0;
}
