#include <cstring>

#include "vqi/huffman.h"
#include "vqi/huffman_code.h"
#include "vqi/huffman_reader.h"

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

constexpr int kLookupBits = HuffmanReader::kLookupBits;
constexpr int kLookupSize = 1 << kLookupBits;
// Entry fields: the bits that its values take in the low byte (so that the shift takes the
// entry as it is), their count, the bits of the first value alone, and up to four values in
// the high 32 bits.
constexpr int kCountShift = 8;
constexpr int kFirstBitsShift = 16;
constexpr int kValuesShift = 32;
constexpr uint64_t kFieldMask = 0x3F;
constexpr int kMaxValuesPerEntry = 4;
// A prefix of a longer code: the trie node it leads to is in bits 16–31.
constexpr uint64_t kLongPrefix = 0x80;
constexpr int kNodeShift = 16;
constexpr int kNoChild = 0;  // node 0 is the root, never anyone's child

// Follows up to `limit` bits of `bits` from the root; gives the leaf's node and the bits
// used, or the node reached when no leaf comes within the limit (bits used = limit).
int Walk(const int16_t (*children)[2], const int16_t* leafValue, uint32_t bits, int limit,
         int* used) {
  int node = 0;
  int bit = 0;
  while (bit < limit && leafValue[node] < 0) {
    node = children[node][(bits >> bit) & 1];
    ++bit;
  }
  *used = bit;
  return node;
}

}  // namespace

bool ReadHuffmanBlockFields(const uint8_t* block, size_t blockLength, HuffmanBlockFields* fields) {
  if (blockLength < kHuffmanHeaderSize) return false;
  fields->symbolCount = Read32(block + 8);
  fields->tableEnd = static_cast<int16_t>(Read16(block + 14));
  fields->firstLeafDepth = static_cast<int16_t>(Read16(block + 18));
  return fields->tableEnd > static_cast<int>(kHuffmanHeaderSize) &&
         static_cast<size_t>(fields->tableEnd) <= blockLength && fields->firstLeafDepth >= 1;
}

bool HuffmanReader::Open(const uint8_t* block, size_t blockLength) {
  HuffmanBlockFields fields;
  if (!ReadHuffmanBlockFields(block, blockLength, &fields)) return false;
  HuffmanCode code;
  if (!BuildHuffmanCode(block, fields.tableEnd, fields.firstLeafDepth, &code)) return false;

  std::memset(children_, 0, sizeof children_);
  int nodeCount = 1;
  leafValue_[0] = -1;
  for (int i = 0; i < code.leafCount; ++i) {
    const HuffmanLeaf& leaf = code.leaves[i];
    int node = 0;
    for (int bit = 0; bit < leaf.length; ++bit) {
      const int branch = (leaf.code >> bit) & 1;
      if (children_[node][branch] == kNoChild) {
        leafValue_[nodeCount] = -1;
        children_[node][branch] = static_cast<int16_t>(nodeCount++);
      }
      node = children_[node][branch];
    }
    leafValue_[node] = leaf.value;
  }
  for (uint32_t index = 0; index < kLookupSize; ++index) {
    int used = 0;
    const int firstNode = Walk(children_, leafValue_, index, kLookupBits, &used);
    if (leafValue_[firstNode] < 0) {
      lookup_[index] = kLongPrefix | static_cast<uint64_t>(firstNode) << kNodeShift;
      continue;
    }
    uint64_t entry = static_cast<uint64_t>(leafValue_[firstNode]) << kValuesShift |
                     static_cast<uint64_t>(used) << kFirstBitsShift;
    int count = 1;
    // Further whole codes within the look-up's bits.
    while (count < kMaxValuesPerEntry) {
      int more = 0;
      const int node = Walk(children_, leafValue_, index >> used, kLookupBits - used, &more);
      if (leafValue_[node] < 0) break;
      entry |= static_cast<uint64_t>(leafValue_[node]) << (kValuesShift + 8 * count);
      used += more;
      ++count;
    }
    lookup_[index] =
        entry | static_cast<uint64_t>(used) | static_cast<uint64_t>(count) << kCountShift;
  }
  reader_ = BitReader(block + fields.tableEnd, blockLength - fields.tableEnd);
  symbolCount_ = fields.symbolCount;
  remaining_ = fields.symbolCount;
  return true;
}

// A code of up to 31 bits finishes in the trie.
inline uint8_t HuffmanReader::ReadLong(uint64_t entry, BitReader& reader) const {
  reader.Refill();
  reader.Skip(kLookupBits);
  int node = static_cast<int>((entry >> kNodeShift) & 0xFFFF);
  while (leafValue_[node] < 0) {
    node = children_[node][reader.Peek() & 1];
    reader.Skip(1);
  }
  return static_cast<uint8_t>(leafValue_[node]);
}

void HuffmanReader::Read(uint8_t* output, size_t count) {
  remaining_ -= count;
  // A copy of the reader's state, which the compiler can keep in registers: it cannot know
  // that the bytes written do not overlap the member.
  BitReader reader = reader_;
  size_t i = 0;
  // Four look-ups per refill: each takes at most kLookupBits of the 56 bits that a refill
  // leaves. Each writes four bytes and gives up to four values, so the loop stops 16 short of
  // the end, never decoding more than was asked for.
  while (count - i >= 16) {
    reader.Refill();
    for (int step = 0; step < 4; ++step) {
      const uint64_t entry = lookup_[reader.Peek() & (kLookupSize - 1)];
      if (entry & kLongPrefix) {
        output[i++] = ReadLong(entry, reader);
        break;
      }
      reader.Skip(static_cast<int>(entry & kFieldMask));
      uint32_t values = static_cast<uint32_t>(entry >> kValuesShift);  // first in the low byte
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
      values = __builtin_bswap32(values);
#endif
      std::memcpy(output + i, &values, 4);
      i += (entry >> kCountShift) & kFieldMask;
    }
  }
  while (i < count) {
    reader.Refill();
    const uint64_t entry = lookup_[reader.Peek() & (kLookupSize - 1)];
    if (entry & kLongPrefix) {
      output[i++] = ReadLong(entry, reader);
      continue;
    }
    output[i++] = static_cast<uint8_t>(entry >> kValuesShift);
    reader.Skip(static_cast<int>((entry >> kFirstBitsShift) & kFieldMask));
  }
  reader_ = reader;
}

int64_t HuffmanDecode(uint8_t* output, const uint8_t* block, size_t blockLength, int64_t maximum) {
  HuffmanReader reader;
  if (!reader.Open(block, blockLength)) return -1;
  const int64_t count =
      maximum > 0 && maximum < reader.symbolCount() ? maximum : int64_t{reader.symbolCount()};
  reader.Read(output, static_cast<size_t>(count));
  return reader.symbolCount();
}
