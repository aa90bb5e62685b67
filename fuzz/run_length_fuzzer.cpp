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
  std::vector<uint8_t> packets(outputSize + kRleOutputSlack);
  const size_t length = RleEncode(packets.data(), output.data(), outputSize);
  std::vector<uint8_t> again(outputSize, 0);
  if (!RleDecode(again.data(), packets.data(), length, outputSize) || again != output) std::abort();
  return 0;
}
