#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/vector_code_switch.h"
#include "vqi/run_length.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The packet headers of a stream: literal lengths as they are, runs as −count.
std::vector<int> Packets(const Bytes& stream) {
  std::vector<int> packets;
  size_t pos = 0;
  for (int word; (word = stream.at(pos) | stream.at(pos + 1) << 8) != 0;) {
    packets.push_back(word >= 32768 ? 32768 - word : word);
    pos += 2 + (word >= 32768 ? 1 : word);
  }
  return packets;
}

// Encoded by the vector scan and the plain one alike, into exactly the room the stream needs
// (one byte less gives nothing), checked to decode to the input, and cut into packets.
std::vector<int> RoundTrip(const Bytes& input) {
  // The byte after the input repeats its last: no count may run past the end.
  Bytes padded = input;
  padded.push_back(input.empty() ? 0 : input.back());
  Bytes stream(input.size() + 1024);
  stream.resize(RleEncode(stream.data(), stream.size(), padded.data(), input.size()));
  for (bool vector : {false, true}) {
    const VectorCodeSwitch vectorCode(vector);
    Bytes exact(stream.size()), tooShort(stream.size() - 1);
    EXPECT_EQ(RleEncode(exact.data(), exact.size(), padded.data(), input.size()), stream.size());
    EXPECT_EQ(exact, stream) << "vector " << vector;
    EXPECT_EQ(RleEncode(tooShort.data(), tooShort.size(), padded.data(), input.size()), 0u);
  }
  Bytes output(input.size(), 0xEE);
  EXPECT_TRUE(RleDecode(output.data(), stream.data(), stream.size(), output.size()));
  EXPECT_EQ(output, input);
  return Packets(stream);
}

Bytes Alternating(size_t count) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i % 2);
  return bytes;
}

// A literal of 32 762 bytes and equal bytes after it: the usual closing rule looks only at
// bytes that differ from the one before, so they could push it to 32 768, which reads as a run.
Bytes PushedOverTheLimit(size_t equalBytes, bool tail = false) {
  Bytes bytes = Alternating(32762);
  bytes.insert(bytes.end(), 1 + equalBytes, 7);
  if (tail) bytes.push_back(3);
  return bytes;
}

TEST(RunLength, PacketsAtTheThresholdsAndLimits) {
  Bytes longestRun(1 + 32761 + 1, 4);
  longestRun.front() = 1, longestRun.back() = 2;
  const struct {
    Bytes input;
    std::vector<int> packets;
  } cases[] = {
      {{}, {}},
      {{9, 5, 5, 5, 5, 5, 5, 8}, {8}},  // six equal bytes stay literal, seven become a run
      {{9, 5, 5, 5, 5, 5, 5, 5, 8}, {2, -6, 1}},
      {Bytes(9, 5), {1, -8}},  // a run to the end, its count taken a word at a time
      {Bytes(40000, 0), {1, -32760, 1, -7238}},
      {longestRun, {2, -32760, 1}},
      {Alternating(70000), {32763, 32763, 70000 - 2 * 32763}},
      {PushedOverTheLimit(4), {32767}},  // exactly at the limit nothing is split
      {PushedOverTheLimit(5), {32767, 1}},
      {PushedOverTheLimit(5, true), {32767, 1, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundTrip(c.input), c.packets) << c.input.size();
  for (size_t equal = 0; equal <= 6; ++equal) {
    for (const Bytes& input : {PushedOverTheLimit(equal), PushedOverTheLimit(equal, true)}) {
      for (int packet : RoundTrip(input)) EXPECT_LE(packet, kLiteralMaximum) << equal;
    }
  }
}

// A run beyond the output is refused; an early end word zeroes the rest.
TEST(RunLength, DecodingStopsAtTheOutputAndTheEndWord) {
  Bytes output(10, 0xAA);
  const Bytes beyond = {0x0B, 0x80, 7}, early = {2, 0, 1, 2, 0, 0, 3, 0, 9, 9, 9};
  EXPECT_FALSE(RleDecode(output.data(), beyond.data(), beyond.size(), 10));
  EXPECT_TRUE(RleDecode(output.data(), early.data(), early.size(), 6));
  EXPECT_EQ(Bytes(output.begin(), output.begin() + 6), (Bytes{1, 2, 0, 0, 0, 0}));
}

}  // namespace
