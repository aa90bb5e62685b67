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
// Entry fields: first value, second value, bits of both, bits of the first, value count.
constexpr int kSecondShift = 8;
constexpr int kTotalBitsShift = 16;
constexpr int kFirstBitsShift = 21;
constexpr int kCountShift = 26;
constexpr uint32_t kFieldMask = 31;
// A prefix of a longer code: the trie node it leads to is in the low 16 bits.
constexpr uint32_t kLongPrefix = 0x80000000u;
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
    int first = 0;
    const int firstNode = Walk(children_, leafValue_, index, kLookupBits, &first);
    if (leafValue_[firstNode] < 0) {
      lookup_[index] = kLongPrefix | static_cast<uint32_t>(firstNode);
      continue;
    }
    uint32_t entry = static_cast<uint32_t>(leafValue_[firstNode]) | static_cast<uint32_t>(first)
                                                                        << kFirstBitsShift;
    int second = 0;
    const int secondNode =
        Walk(children_, leafValue_, index >> first, kLookupBits - first, &second);
    if (leafValue_[secondNode] >= 0) {
      entry |= static_cast<uint32_t>(leafValue_[secondNode]) << kSecondShift |
               static_cast<uint32_t>(first + second) << kTotalBitsShift | 2u << kCountShift;
    } else {
      entry |= static_cast<uint32_t>(first) << kTotalBitsShift | 1u << kCountShift;
    }
    lookup_[index] = entry;
  }
  reader_ = BitReader(block + fields.tableEnd, blockLength - fields.tableEnd);
  symbolCount_ = fields.symbolCount;
  remaining_ = fields.symbolCount;
  return true;
}

// A code of up to 31 bits finishes in the trie.
void HuffmanReader::ReadLong(uint32_t entry, uint8_t* output) {
  reader_.Skip(kLookupBits);
  int node = static_cast<int>(entry & 0xFFFF);
  while (leafValue_[node] < 0) {
    node = children_[node][reader_.Peek() & 1];
    reader_.Skip(1);
  }
  *output = static_cast<uint8_t>(leafValue_[node]);
}

void HuffmanReader::Read(uint8_t* output, size_t count) {
  remaining_ -= count;
  size_t i = 0;
  // Two look-ups per refill: after a short entry at least 44 of the 56 bits remain, enough
  // for any code. Each entry may write two bytes, so the loop leaves room at the end.
  while (count - i >= 4) {
    reader_.Refill();
    uint32_t entry = lookup_[reader_.Peek() & (kLookupSize - 1)];
    if (entry & kLongPrefix) {
      ReadLong(entry, output + i++);
      continue;
    }
    output[i] = static_cast<uint8_t>(entry);
    output[i + 1] = static_cast<uint8_t>(entry >> kSecondShift);
    i += entry >> kCountShift;
    reader_.Skip(static_cast<int>((entry >> kTotalBitsShift) & kFieldMask));
    entry = lookup_[reader_.Peek() & (kLookupSize - 1)];
    if (entry & kLongPrefix) {
      ReadLong(entry, output + i++);
      continue;
    }
    output[i] = static_cast<uint8_t>(entry);
    output[i + 1] = static_cast<uint8_t>(entry >> kSecondShift);
    i += entry >> kCountShift;
    reader_.Skip(static_cast<int>((entry >> kTotalBitsShift) & kFieldMask));
  }
  while (i < count) {
    reader_.Refill();
    const uint32_t entry = lookup_[reader_.Peek() & (kLookupSize - 1)];
    if (entry & kLongPrefix) {
      ReadLong(entry, output + i++);
      continue;
    }
    output[i++] = static_cast<uint8_t>(entry);
    reader_.Skip(static_cast<int>((entry >> kFirstBitsShift) & kFieldMask));
  }
}

int64_t HuffmanDecode(uint8_t* output, const uint8_t* block, size_t blockLength, int64_t maximum) {
  HuffmanReader reader;
  if (!reader.Open(block, blockLength)) return -1;
  const int64_t count =
      maximum > 0 && maximum < reader.symbolCount() ? maximum : int64_t{reader.symbolCount()};
  reader.Read(output, static_cast<size_t>(count));
  return reader.symbolCount();
}
