#include <algorithm>
#include <cstring>

#include "vqi/bit_writer.h"
#include "vqi/huffman.h"
#include "vqi/huffman_code.h"

namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

void CountValues(const uint8_t* input, size_t length, uint64_t counts[256]) {
  // Four tables, so that runs of one value do not wait on the same counter.
  uint64_t partial[4][256] = {};
  size_t i = 0;
  for (; i + 4 <= length; i += 4) {
    ++partial[0][input[i]];
    ++partial[1][input[i + 1]];
    ++partial[2][input[i + 2]];
    ++partial[3][input[i + 3]];
  }
  for (; i < length; ++i) ++partial[0][input[i]];
  for (int v = 0; v < 256; ++v)
    counts[v] = partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
}

// The frequency tree: nodes 0–255 are the leaves of the values, internal nodes follow.
struct FrequencyTree {
  int children[kMaxHuffmanNodes][2];
  int root;
};

// Merges the two smallest occupied slots (lowest slot first among equal counts) until one
// remains; the merged node takes the first slot. False when fewer than two values occur.
bool BuildFrequencyTree(const uint64_t counts[256], FrequencyTree* tree) {
  int slotNode[256];
  uint64_t slotCount[256];
  bool occupied[256];
  for (int v = 0; v < 256; ++v) {
    slotNode[v] = v;
    slotCount[v] = counts[v];
    occupied[v] = counts[v] != 0;
  }
  int nextNode = 256;
  for (int merge = 0; merge < 255; ++merge) {
    int m1 = -1;
    int m2 = -1;
    for (int s = 0; s < 256; ++s) {
      if (!occupied[s]) continue;
      if (m1 < 0 || slotCount[s] < slotCount[m1]) {
        m2 = m1;
        m1 = s;
      } else if (m2 < 0 || slotCount[s] < slotCount[m2]) {
        m2 = s;
      }
    }
    if (m1 < 0 || m2 < 0) break;
    tree->children[nextNode][0] = slotNode[m1];
    tree->children[nextNode][1] = slotNode[m2];
    slotNode[m1] = nextNode++;
    slotCount[m1] += slotCount[m2];
    occupied[m2] = false;
  }
  if (nextNode == 256) return false;
  tree->root = nextNode - 1;
  return true;
}

// Writes the depth table breadth first and gives its length and the first leaf depth.
int WriteDepthTable(const FrequencyTree& tree, uint8_t* table, int* firstLeafDepth) {
  int levels[2][kMaxHuffmanNodesAtDepth];
  int* current = levels[0];
  int* next = levels[1];
  int count = 1;
  current[0] = tree.root;
  int length = 0;
  *firstLeafDepth = 0;
  for (int depth = 0; count > 0; ++depth) {
    int nextCount = 0;
    for (int i = 0; i < count; ++i) {
      const int node = current[i];
      if (node < 256) {
        if (length == 0) *firstLeafDepth = depth;
        table[length++] = static_cast<uint8_t>(node);
      } else {
        next[nextCount++] = tree.children[node][0];
        next[nextCount++] = tree.children[node][1];
      }
    }
    if (length > 0) {
      table[length] = table[length - 1];
      ++length;
    }
    int* swap = current;
    current = next;
    next = swap;
    count = nextCount;
  }
  return length;
}

}  // namespace

int64_t HuffmanEncode(uint8_t* output, size_t capacity, const uint8_t* input, size_t length) {
  uint64_t counts[256];
  CountValues(input, length, counts);
  FrequencyTree tree;
  if (!BuildFrequencyTree(counts, &tree)) return kHuffmanTooFewValues;

  // Header and table are made aside: the table of a deep tree is longer than a small output.
  uint8_t head[kHuffmanHeaderSize + kMaxHuffmanTableLength];
  int firstLeafDepth = 0;
  const int tableLength = WriteDepthTable(tree, head + kHuffmanHeaderSize, &firstLeafDepth);
  const int tableEnd = static_cast<int>(kHuffmanHeaderSize) + tableLength;
  std::memset(head, 0, kHuffmanHeaderSize);
  Put32(head + 8, static_cast<uint32_t>(length));
  Put16(head + 12, kHuffmanHeaderSize);
  Put16(head + 14, static_cast<uint32_t>(tableEnd));
  Put16(head + 16, static_cast<uint32_t>(tableLength));
  Put16(head + 18, static_cast<uint32_t>(firstLeafDepth));

  // The code written is the canonical one that the table describes.
  HuffmanCode code;
  if (!BuildHuffmanCode(head, tableEnd, firstLeafDepth, &code)) return kHuffmanCodeTooLong;
  uint32_t codeOf[256] = {};
  int lengthOf[256] = {};
  uint64_t bits = 0;
  int longest = 0;
  for (int i = 0; i < code.leafCount; ++i) {
    codeOf[code.leaves[i].value] = code.leaves[i].code;
    lengthOf[code.leaves[i].value] = code.leaves[i].length;
    bits += counts[code.leaves[i].value] * code.leaves[i].length;
    longest = std::max<int>(longest, code.leaves[i].length);
  }
  const uint64_t blockSize = static_cast<uint64_t>(tableEnd) + (bits + 7) / 8;
  if (blockSize > capacity) return kHuffmanOutputFull;

  Put32(head + 4, static_cast<uint32_t>(blockSize));
  std::memcpy(output, head, static_cast<size_t>(tableEnd));
  BitWriter writer(output + tableEnd, static_cast<size_t>(blockSize) - tableEnd);
  size_t i = 0;
  if (longest <= 28) {  // two codes fit beside the bits a flush leaves
    for (; i + 2 <= length; i += 2) {
      writer.Add(codeOf[input[i]], lengthOf[input[i]]);
      writer.Add(codeOf[input[i + 1]], lengthOf[input[i + 1]]);
      writer.Flush();
    }
  }
  for (; i < length; ++i) writer.Append(codeOf[input[i]], lengthOf[input[i]]);
  writer.Finish();
  return static_cast<int64_t>(blockSize);
}
