#include "vqi/plane_reader.h"

#include <cstring>
#include <new>

#include "vqi/delta_coding.h"
#include "vqi/vqi_file.h"

bool PlaneReader::HuffmanPacketSource::Take(uint8_t* out, size_t count) {
  if (count > reader_->remaining()) return false;
  reader_->Read(out, count);
  return true;
}

DecodeResult PlaneReader::Open(const uint8_t* data, const VqiPlane& plane, size_t pixelCount) {
  const uint8_t* stored = data + plane.offset;
  const bool huffman = (plane.flags & kPlaneHuffman) != 0;
  const bool rle = (plane.flags & kPlaneRle) != 0;
  delta_ = (plane.flags & kPlaneDelta) != 0;
  if (huffman) {
    huffman_.reset(new (std::nothrow) HuffmanReader);
    if (!huffman_) return DecodeResult::kNoMemory;
    if (!huffman_->Open(stored, plane.storedLength) || huffman_->symbolCount() > pixelCount) {
      return DecodeResult::kDamaged;
    }
  }
  if (rle) {
    if (huffman) {
      packets_.reset(new (std::nothrow) HuffmanPacketSource(huffman_.get()));
    } else {
      packets_.reset(new (std::nothrow) MemoryPacketSource(stored, plane.storedLength));
    }
    if (!packets_) return DecodeResult::kNoMemory;
    expander_.reset(new (std::nothrow) RleExpander(packets_.get(), pixelCount));
    if (!expander_) return DecodeResult::kNoMemory;
  } else if (!huffman) {
    if (plane.storedLength < pixelCount) return DecodeResult::kDamaged;
    stored_ = stored;
  }
  return DecodeResult::kDecoded;
}

bool PlaneReader::Read(uint8_t* out, size_t count) {
  if (expander_) {
    if (!expander_->Read(out, count)) return false;
  } else if (huffman_) {
    // A block of fewer symbols than pixels leaves the rest zero.
    const size_t coded = huffman_->remaining() < count ? huffman_->remaining() : count;
    huffman_->Read(out, coded);
    std::memset(out + coded, 0, count - coded);
  } else {
    std::memcpy(out, stored_, count);
    stored_ += count;
  }
  if (delta_) sum_ = DeltaDecode(out, count, sum_);
  return true;
}
