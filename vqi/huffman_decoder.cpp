#include <cstring>

#include "vqi/huffman.h"
#include "vqi/huffman_code.h"

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Codes up to this long are decoded by one table look-up; longer ones finish in the tree.
constexpr int kLookupBits = 11;
constexpr int kLookupSize = 1 << kLookupBits;
// A look-up entry: the value in the low byte and the code length above it, or, for a prefix
// of a longer code, kLongPrefix plus the tree node that the prefix leads to.
constexpr uint32_t kLongPrefix = 0x10000;
constexpr int kNoChild = 0;  // node 0 is the root, never anyone's child

struct DecodingTables {
  uint32_t lookup[kLookupSize];
  // Trie of all codes: children of internal nodes; a leaf has leafValue >= 0.
  int16_t children[kMaxHuffmanNodes][2];
  int16_t leafValue[kMaxHuffmanNodes];
};

void BuildDecodingTables(const HuffmanCode& code, DecodingTables* tables) {
  std::memset(tables->children, 0, sizeof tables->children);
  int nodeCount = 1;
  tables->leafValue[0] = -1;
  for (int i = 0; i < code.leafCount; ++i) {
    const HuffmanLeaf& leaf = code.leaves[i];
    int node = 0;
    for (int bit = 0; bit < leaf.length; ++bit) {
      const int branch = (leaf.code >> bit) & 1;
      if (tables->children[node][branch] == kNoChild) {
        tables->leafValue[nodeCount] = -1;
        tables->children[node][branch] = static_cast<int16_t>(nodeCount++);
      }
      node = tables->children[node][branch];
    }
    tables->leafValue[node] = leaf.value;
    if (leaf.length <= kLookupBits) {
      const uint32_t entry = leaf.value | uint32_t{leaf.length} << 8;
      for (uint32_t index = leaf.code; index < kLookupSize; index += 1u << leaf.length) {
        tables->lookup[index] = entry;
      }
    }
  }
  // Prefixes of the longer codes lead into the trie.
  for (uint32_t index = 0; index < kLookupSize; ++index) {
    int node = 0;
    int bit = 0;
    while (bit < kLookupBits && tables->leafValue[node] < 0) {
      node = tables->children[node][(index >> bit) & 1];
      ++bit;
    }
    if (tables->leafValue[node] < 0)
      tables->lookup[index] = kLongPrefix | static_cast<uint32_t>(node);
  }
}

// Reads the stream least significant bit first; past the block's end it gives zeros.
class BitReader {
 public:
  BitReader(const uint8_t* stream, size_t length) : next_(stream), end_(stream + length) {}

  // Makes at least 32 bits available.
  void Refill() {
    if (end_ - next_ >= 8) {
      uint64_t word;
      std::memcpy(&word, next_, 8);
      word = Little(word);
      bits_ |= word << count_;
      const int taken = (63 - count_) >> 3;
      next_ += taken;
      count_ += taken * 8;
      return;
    }
    while (count_ <= 56) {
      const uint64_t byte = next_ < end_ ? *next_++ : 0;
      bits_ |= byte << count_;
      count_ += 8;
    }
  }

  uint32_t Peek() const { return static_cast<uint32_t>(bits_); }
  void Skip(int count) {
    bits_ >>= count;
    count_ -= count;
  }

 private:
  static uint64_t Little(uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_bswap64(word);
#else
    return word;
#endif
  }

  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

}  // namespace

bool ReadHuffmanBlockFields(const uint8_t* block, size_t blockLength, HuffmanBlockFields* fields) {
  if (blockLength < kHuffmanHeaderSize) return false;
  fields->symbolCount = Read32(block + 8);
  fields->tableEnd = static_cast<int16_t>(Read16(block + 14));
  fields->firstLeafDepth = static_cast<int16_t>(Read16(block + 18));
  return fields->tableEnd > static_cast<int>(kHuffmanHeaderSize) &&
         static_cast<size_t>(fields->tableEnd) <= blockLength && fields->firstLeafDepth >= 1;
}

int64_t HuffmanDecode(uint8_t* output, const uint8_t* block, size_t blockLength, int64_t maximum) {
  HuffmanBlockFields fields;
  if (!ReadHuffmanBlockFields(block, blockLength, &fields)) return -1;
  HuffmanCode code;
  if (!BuildHuffmanCode(block, fields.tableEnd, fields.firstLeafDepth, &code)) return -1;
  DecodingTables tables;
  BuildDecodingTables(code, &tables);

  int64_t count = fields.symbolCount;
  if (maximum > 0 && maximum < count) count = maximum;
  BitReader reader(block + fields.tableEnd, blockLength - fields.tableEnd);
  for (int64_t i = 0; i < count; ++i) {
    // Refill before each code: a code is at most 31 bits.
    reader.Refill();
    const uint32_t entry = tables.lookup[reader.Peek() & (kLookupSize - 1)];
    if (entry < kLongPrefix) {
      output[i] = static_cast<uint8_t>(entry);
      reader.Skip(static_cast<int>(entry >> 8));
      continue;
    }
    reader.Skip(kLookupBits);
    int node = static_cast<int>(entry - kLongPrefix);
    while (tables.leafValue[node] < 0) {
      node = tables.children[node][reader.Peek() & 1];
      reader.Skip(1);
    }
    output[i] = static_cast<uint8_t>(tables.leafValue[node]);
  }
  return fields.symbolCount;
}
