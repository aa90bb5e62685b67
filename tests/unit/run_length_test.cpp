#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "vqi/delta_coding.h"
#include "vqi/run_length.h"
#include "tests/unit/vector_code_switch.h"

namespace {

std::vector<uint8_t> Encode(const std::vector<uint8_t>& input) {
  std::vector<uint8_t> stream(input.size() + 1024);
  stream.resize(RleEncode(stream.data(), stream.size(), input.data(), input.size()));
  return stream;
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& stream, size_t size) {
  std::vector<uint8_t> output(size, 0);
  EXPECT_TRUE(RleDecode(output.data(), stream.data(), stream.size(), size));
  return output;
}

// The packet headers of a stream: literal lengths as they are, runs as −count.
std::vector<int> Packets(const std::vector<uint8_t>& stream) {
  std::vector<int> packets;
  size_t pos = 0;
  for (;;) {
    const int word = stream[pos] | stream[pos + 1] << 8;
    pos += 2;
    if (word == 0) break;
    if (word >= 32768) {
      packets.push_back(-(word - 32768));
      pos += 1;
    } else {
      packets.push_back(word);
      pos += word;
    }
  }
  EXPECT_EQ(pos, stream.size());
  return packets;
}

// Bytes in which no two neighbours are equal.
std::vector<uint8_t> Alternating(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i % 2);
  return bytes;
}

TEST(RleEncode, FortyThousandZerosTakeFourteenBytes) {
  const std::vector<uint8_t> input(40000, 0);
  const std::vector<uint8_t> stream = Encode(input);
  EXPECT_EQ(stream.size(), 14u);
  EXPECT_EQ(Packets(stream), (std::vector<int>{1, -32760, 1, -7238}));
  EXPECT_EQ(stream[2], 0);
  EXPECT_EQ(Decode(stream, input.size()), input);
}

TEST(RleEncode, SixEqualBytesStayLiteralSevenBecomeARun) {
  EXPECT_EQ(Packets(Encode({9, 5, 5, 5, 5, 5, 5, 8})), (std::vector<int>{8}));
  const std::vector<uint8_t> seven = {9, 5, 5, 5, 5, 5, 5, 5, 8};
  const std::vector<uint8_t> stream = Encode(seven);
  EXPECT_EQ(Packets(stream), (std::vector<int>{2, -6, 1}));
  EXPECT_EQ(Decode(stream, seven.size()), seven);
}

TEST(RleEncode, RunAtTheEndIsClosedByTheEndWord) {
  const std::vector<uint8_t> input = {1, 2, 3, 3, 3, 3, 3, 3, 3, 3};
  const std::vector<uint8_t> stream = Encode(input);
  EXPECT_EQ(Packets(stream), (std::vector<int>{3, -7}));
  EXPECT_EQ(stream.size(), 2 + 3 + 3 + 2u);
  EXPECT_EQ(Decode(stream, input.size()), input);
}

TEST(RleEncode, EmptyInputIsTheEndWordAlone) {
  EXPECT_EQ(Encode({}), (std::vector<uint8_t>{0, 0}));
}

TEST(RleEncode, LongLiteralsAreClosedBelowThePacketLimit) {
  const std::vector<uint8_t> input = Alternating(70000);
  const std::vector<uint8_t> stream = Encode(input);
  EXPECT_EQ(Packets(stream), (std::vector<int>{32763, 32763, 70000 - 2 * 32763}));
  EXPECT_EQ(Decode(stream, input.size()), input);
}

// The usual closing rule looks only at bytes that differ from the one before; equal bytes
// just after the limit would make a literal of 32768 bytes, which reads as a run.
std::vector<uint8_t> LiteralPushedOverTheLimit(size_t equalBytes) {
  std::vector<uint8_t> input = Alternating(32762);
  input.push_back(7);
  input.insert(input.end(), equalBytes, 7);
  return input;
}

TEST(RleEncode, EqualBytesNeverPushALiteralTo32768) {
  for (size_t equal = 0; equal <= 6; ++equal) {
    for (bool atEnd : {false, true}) {
      std::vector<uint8_t> input = LiteralPushedOverTheLimit(equal);
      if (!atEnd) input.push_back(3);
      const std::vector<uint8_t> stream = Encode(input);
      for (int packet : Packets(stream)) EXPECT_LE(packet, kLiteralMaximum);
      EXPECT_EQ(Decode(stream, input.size()), input) << equal << " " << atEnd;
    }
  }
  // Exactly at the limit nothing is split; one byte over gives 32767 and 1.
  EXPECT_EQ(Packets(Encode(LiteralPushedOverTheLimit(4))), (std::vector<int>{32767}));
  EXPECT_EQ(Packets(Encode(LiteralPushedOverTheLimit(5))), (std::vector<int>{32767, 1}));
  std::vector<uint8_t> followed = LiteralPushedOverTheLimit(5);
  followed.push_back(3);
  EXPECT_EQ(Packets(Encode(followed)), (std::vector<int>{32767, 1, 1}));
}

TEST(RleEncode, GivesUpWhenTheStreamWouldNotFit) {
  // Bytes without runs; runs, which count their bytes before they become a packet; a literal
  // split at the packet limit.
  for (const std::vector<uint8_t>& input :
       {Alternating(100), std::vector<uint8_t>(100, 0), LiteralPushedOverTheLimit(5)}) {
    const std::vector<uint8_t> stream = Encode(input);
    std::vector<uint8_t> exact(stream.size());
    EXPECT_EQ(RleEncode(exact.data(), exact.size(), input.data(), input.size()), stream.size());
    EXPECT_EQ(exact, stream);
    std::vector<uint8_t> short_(stream.size() - 1);
    EXPECT_EQ(RleEncode(short_.data(), short_.size(), input.data(), input.size()), 0u);
  }
}

// The packets written the plain way, byte by byte: every byte goes into the open literal,
// and a run of equal bytes is cut out of it afterwards; a literal that the closing rule lets
// reach 32 768 bytes is split after 32 767.
std::vector<uint8_t> StraightforwardPackets(const std::vector<uint8_t>& input) {
  std::vector<uint8_t> out(2);
  size_t a = 0;  // header position of the open literal
  auto put = [&](size_t at, size_t word) {
    out[at] = static_cast<uint8_t>(word);
    out[at + 1] = static_cast<uint8_t>(word >> 8);
  };
  auto closeLiteral = [&](size_t end) {
    if (end - a - 2 > 32767) {
      out.insert(out.begin() + static_cast<ptrdiff_t>(a + 2 + 32767), {0, 0});
      put(a, 32767);
      a += 2 + 32767;
      end += 2;
    }
    put(a, end - a - 2);
  };
  auto cutRun = [&](size_t repeats) {
    const size_t at = out.size() - repeats;
    closeLiteral(at);
    const uint8_t value = out[at];
    out.resize(at + 3);
    put(at, 32768 + repeats);
    out[at + 2] = value;
    a = out.size();
    out.resize(a + 2);
  };
  size_t repeats = 0;
  for (size_t k = 0; k < input.size(); ++k) {
    if (k > 0 && input[k] == input[k - 1] && repeats < 32760) {
      ++repeats;
    } else {
      if (repeats > 5) {
        cutRun(repeats);
      } else if (out.size() - a >= 32765) {
        closeLiteral(out.size());
        a = out.size();
        out.resize(a + 2);
      }
      repeats = 0;
    }
    out.push_back(input[k]);
  }
  if (out.size() - a > 2 && repeats > 5) {
    cutRun(repeats);
  } else if (out.size() - a > 2) {
    closeLiteral(out.size());
    a = out.size();
    out.resize(a + 2);
  }
  put(a, 0);
  return out;
}

TEST(RleEncode, EqualsThePlainWayOnRandomRuns) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 300; ++trial) {
    const VectorCodeSwitch vectorCode(trial % 2 == 0);
    // Stretches of few values, runs of every length, long literals.
    std::vector<uint8_t> input;
    const size_t length = random() % (trial < 200 ? 400 : 100000);
    const int values = 1 + static_cast<int>(random() % 4) * 85;
    while (input.size() < length) {
      const size_t run = random() % 3 == 0 ? random() % (trial % 7 == 0 ? 40000 : 12) + 1 : 1;
      input.insert(input.end(), run, static_cast<uint8_t>(random() % values));
    }
    ASSERT_EQ(Encode(input), StraightforwardPackets(input)) << trial;
  }
}

TEST(RleEncode, LongestRunAndTheByteAfterIt) {
  std::vector<uint8_t> input(1 + 32761 + 1, 4);
  input.front() = 1;
  input.back() = 2;
  const std::vector<uint8_t> stream = Encode(input);
  EXPECT_EQ(Packets(stream), (std::vector<int>{2, -32760, 1}));
  EXPECT_EQ(Decode(stream, input.size()), input);
}

TEST(RleDecode, RefusesPacketsBeyondTheOutputOrTheInput) {
  std::vector<uint8_t> output(10, 0);
  const uint8_t tooLongRun[] = {0x0B, 0x80, 7};  // 11 copies into 10 bytes
  EXPECT_FALSE(RleDecode(output.data(), tooLongRun, sizeof tooLongRun, output.size()));
  const uint8_t tooLongLiteral[] = {11, 0, 1, 2, 3};
  EXPECT_FALSE(RleDecode(output.data(), tooLongLiteral, sizeof tooLongLiteral, output.size()));
  const uint8_t cutLiteral[] = {4, 0, 1, 2};
  EXPECT_FALSE(RleDecode(output.data(), cutLiteral, sizeof cutLiteral, output.size()));
  const uint8_t cutRun[] = {2, 0x80};
  EXPECT_FALSE(RleDecode(output.data(), cutRun, sizeof cutRun, output.size()));
  const uint8_t noEndWord[] = {2, 0, 1, 2};
  EXPECT_FALSE(RleDecode(output.data(), noEndWord, sizeof noEndWord, output.size()));
}

TEST(RleDecode, StopsAtTheEndWordOrWhenTheOutputIsFull) {
  std::vector<uint8_t> output(6, 0xAA);
  const uint8_t early[] = {2, 0, 1, 2, 0, 0, 3, 0, 9, 9, 9};
  EXPECT_TRUE(RleDecode(output.data(), early, sizeof early, output.size()));
  EXPECT_EQ(output, (std::vector<uint8_t>{1, 2, 0, 0, 0, 0}));
  const uint8_t full[] = {6, 0x80, 5};  // no end word needed once full
  EXPECT_TRUE(RleDecode(output.data(), full, sizeof full, output.size()));
  EXPECT_EQ(output, std::vector<uint8_t>(6, 5));
}

TEST(DeltaCoding, ConstantAndRisingPlanes) {
  std::vector<uint8_t> constant(5, 77);
  DeltaEncode(constant.data(), constant.size());
  EXPECT_EQ(constant, (std::vector<uint8_t>{77, 0, 0, 0, 0}));
  std::vector<uint8_t> rising = {254, 255, 0, 1};
  DeltaEncode(rising.data(), rising.size());
  EXPECT_EQ(rising, (std::vector<uint8_t>{254, 1, 1, 1}));
  // In two pieces, the second going on from the first's last byte.
  const uint8_t last = DeltaDecode(rising.data(), 2, 0);
  EXPECT_EQ(DeltaDecode(rising.data() + 2, 2, last), 1);
  EXPECT_EQ(rising, (std::vector<uint8_t>{254, 255, 0, 1}));
}

}  // namespace
