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

bool MemoryPacketSource::Take(uint8_t* out, size_t count) {
  if (count > length_ - position_) return false;
  std::memcpy(out, bytes_ + position_, count);
  position_ += count;
  return true;
}

bool RleExpander::Read(uint8_t* out, size_t count) {
  while (count > 0) {
    if (runLeft_ > 0) {
      const size_t n = runLeft_ < count ? runLeft_ : count;
      std::memset(out, runValue_, n);
      out += n;
      count -= n;
      runLeft_ -= n;
    } else if (literalLeft_ > 0) {
      const size_t n = literalLeft_ < count ? literalLeft_ : count;
      if (!source_->Take(out, n)) return false;
      out += n;
      count -= n;
      literalLeft_ -= n;
    } else if (ended_) {
      std::memset(out, 0, count);  // an early end word: the rest is zero
      return true;
    } else {
      uint8_t header[2];
      if (!source_->Take(header, 2)) return false;
      const size_t word = header[0] | size_t{header[1]} << 8;
      if (word == 0) {
        ended_ = true;
      } else if (word >= 32768) {
        runLeft_ = word - 32768;
        if (runLeft_ > undeclared_ || !source_->Take(&runValue_, 1)) return false;
        undeclared_ -= runLeft_;
      } else {
        if (word > undeclared_) return false;
        literalLeft_ = word;
        undeclared_ -= word;
      }
    }
  }
  return true;
}

bool RleDecode(uint8_t* output, const uint8_t* input, size_t inputLength, size_t size) {
  MemoryPacketSource source(input, inputLength);
  RleExpander expander(&source, size);
  return expander.Read(output, size);
}
