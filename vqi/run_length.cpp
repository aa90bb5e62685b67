#include "vqi/run_length.h"

#include <cstring>

namespace {

void Put16(uint8_t* p, size_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Runs of at least kRunMinimum + 1 equal bytes leave the literal; the first of them stays
// in it, the rest become a run packet.
struct RleWriter {
  uint8_t* out;
  size_t i = 2;  // write position; the first literal's header word is reserved at 0
  size_t a = 0;  // header position of the open literal

  // Closes the literal at its end (`end` is the position after its last byte). The usual
  // closing rule lets a literal reach one byte more than a packet can say; such a literal is
  // split in two, the few bytes after the limit shifted to make room for the second header.
  void CloseLiteral(size_t end) {
    size_t length = end - a - 2;
    if (length > static_cast<size_t>(kLiteralMaximum)) {
      const size_t split = a + 2 + kLiteralMaximum;
      std::memmove(out + split + 2, out + split, i - split);
      Put16(out + a, kLiteralMaximum);
      a = split;
      end += 2;
      i += 2;
      length = end - a - 2;
    }
    Put16(out + a, length);
  }

  // The open literal ends with `repeats` + 1 equal bytes: cut all but the first into a run.
  void CutRun(size_t repeats) {
    CloseLiteral(i - repeats);
    const size_t runAt = i - repeats;
    const uint8_t value = out[runAt];
    Put16(out + runAt, 32768 + repeats);
    out[runAt + 2] = value;
    a = runAt + 3;
    i = a + 2;
  }
};

}  // namespace

size_t RleEncode(uint8_t* output, const uint8_t* input, size_t length) {
  RleWriter w{output};
  size_t repeats = 0;
  for (size_t k = 0; k < length; ++k) {
    const uint8_t b = input[k];
    if (k > 0 && b == input[k - 1] && repeats < static_cast<size_t>(kRunMaximum)) {
      ++repeats;
    } else {
      if (repeats >= static_cast<size_t>(kRunMinimum)) {
        w.CutRun(repeats);
      } else if (w.i - w.a >= 32765) {
        w.CloseLiteral(w.i);
        w.a = w.i;
        w.i = w.a + 2;
      }
      repeats = 0;
    }
    output[w.i++] = b;
  }
  if (w.i - w.a > 2 && repeats >= static_cast<size_t>(kRunMinimum)) {
    w.CutRun(repeats);
    Put16(output + w.a, 0);
    return w.a + 2;
  }
  if (w.i - w.a > 2) {
    w.CloseLiteral(w.i);
    Put16(output + w.i, 0);
    return w.i + 2;
  }
  Put16(output + w.a, 0);
  return w.a + 2;
}

bool RleDecode(uint8_t* output, const uint8_t* input, size_t inputLength, size_t size) {
  size_t produced = 0;
  size_t pos = 0;
  while (produced < size) {
    if (inputLength - pos < 2) return false;
    const size_t word = input[pos] | size_t{input[pos + 1]} << 8;
    pos += 2;
    if (word == 0) return true;
    if (word >= 32768) {
      const size_t count = word - 32768;
      if (count > size - produced || pos >= inputLength) return false;
      std::memset(output + produced, input[pos], count);
      ++pos;
      produced += count;
    } else {
      if (word > size - produced || word > inputLength - pos) return false;
      std::memcpy(output + produced, input + pos, word);
      pos += word;
      produced += word;
    }
  }
  return true;
}
