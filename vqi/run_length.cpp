#include "vqi/run_length.h"

#include <cstring>

namespace {

void Put16(uint8_t* p, size_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Runs of at least kRunMinimum + 1 equal bytes leave the literal; the first of them stays
// in it, the rest become a run packet. Equal bytes are only counted until it is clear whether
// they make a run, so nothing is written that a run packet would take back, and every write
// is checked against the room in the output.
struct RleWriter {
  uint8_t* out;
  size_t capacity;
  size_t i = 2;  // write position; the first literal's header word is reserved at 0
  size_t a = 0;  // header position of the open literal

  bool Append(uint8_t value, size_t count) {
    if (count > capacity || i > capacity - count) return false;
    std::memset(out + i, value, count);
    i += count;
    return true;
  }

  // Closes the literal at the write position. The usual closing rule lets a literal reach one
  // byte more than a packet can say; such a literal is split in two, the few bytes after the
  // limit shifted to make room for the second header.
  bool CloseLiteral() {
    size_t length = i - a - 2;
    if (length > static_cast<size_t>(kLiteralMaximum)) {
      if (i + 2 > capacity) return false;
      const size_t split = a + 2 + kLiteralMaximum;
      std::memmove(out + split + 2, out + split, i - split);
      Put16(out + a, kLiteralMaximum);
      a = split;
      i += 2;
      length = i - a - 2;
    }
    Put16(out + a, length);
    return true;
  }

  void OpenLiteral() {
    a = i;
    i = a + 2;
  }

  // Closes the literal and follows it with a run packet; a new literal opens after it.
  bool CloseWithRun(uint8_t value, size_t repeats) {
    if (!CloseLiteral() || i + 3 > capacity) return false;
    Put16(out + i, 32768 + repeats);
    out[i + 2] = value;
    i += 3;
    OpenLiteral();
    return true;
  }

  // Writes the end word at `at`; gives the stream's length, or 0 when the word does not fit.
  size_t End(size_t at) {
    if (at + 2 > capacity) return 0;
    Put16(out + at, 0);
    return at + 2;
  }
};

}  // namespace

size_t RleEncode(uint8_t* output, size_t capacity, const uint8_t* input, size_t length) {
  RleWriter w{output, capacity};
  size_t repeats = 0;  // bytes equal to the last one written, counted but not yet written
  for (size_t k = 0; k < length; ++k) {
    const uint8_t b = input[k];
    if (k > 0 && b == input[k - 1] && repeats < static_cast<size_t>(kRunMaximum)) {
      ++repeats;
      continue;
    }
    if (repeats >= static_cast<size_t>(kRunMinimum)) {
      if (!w.CloseWithRun(input[k - 1], repeats)) return 0;
    } else {
      if (repeats > 0 && !w.Append(input[k - 1], repeats)) return 0;
      if (w.i - w.a >= 32765) {
        if (!w.CloseLiteral()) return 0;
        w.OpenLiteral();
      }
    }
    repeats = 0;
    if (!w.Append(b, 1)) return 0;
  }
  if (length == 0) return w.End(0);
  if (repeats >= static_cast<size_t>(kRunMinimum)) {
    // The run ends the stream: the end word takes the place of the next literal's header.
    return w.CloseWithRun(input[length - 1], repeats) ? w.End(w.a) : 0;
  }
  if (!w.Append(input[length - 1], repeats) || !w.CloseLiteral()) return 0;
  return w.End(w.i);
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
