#include "vqi/huffman_code.h"

#include "vqi/huffman.h"

bool BuildHuffmanCode(const uint8_t* block, int tableEnd, int firstLeafDepth, HuffmanCode* code) {
  // Codes of the slots at the current depth, left to right.
  uint32_t slots[kMaxHuffmanNodesAtDepth];
  uint32_t next[kMaxHuffmanNodesAtDepth];
  slots[0] = 0;
  int slotCount = 1;
  int totalNodes = 1;
  int p = static_cast<int>(kHuffmanHeaderSize) - 1;  // the byte before the table
  code->leafCount = 0;
  for (int depth = 0;; ++depth) {
    int leaves = 0;
    if (depth >= firstLeafDepth) {
      if (depth > kMaxHuffmanCodeLength) return false;
      // The first value is always taken; after it, a repeated byte closes the depth.
      while (p + 1 < tableEnd &&
             (p == static_cast<int>(kHuffmanHeaderSize) - 1 || block[p] != block[p + 1])) {
        HuffmanLeaf& leaf = code->leaves[code->leafCount++];
        leaf.value = block[p + 1];
        leaf.length = static_cast<uint8_t>(depth);
        leaf.code = slots[leaves];
        ++p;
        if (++leaves == slotCount) break;
      }
      ++p;
    }
    if (leaves == slotCount) return true;
    if (p >= tableEnd) return false;  // slots left that are neither leaves nor parents
    const int nextCount = 2 * (slotCount - leaves);
    if (nextCount > kMaxHuffmanNodesAtDepth || totalNodes + nextCount > kMaxHuffmanNodes) {
      return false;
    }
    if (depth >= kMaxHuffmanCodeLength) return false;
    for (int i = leaves; i < slotCount; ++i) {
      next[2 * (i - leaves)] = slots[i];
      next[2 * (i - leaves) + 1] = slots[i] | uint32_t{1} << depth;
    }
    for (int i = 0; i < nextCount; ++i) slots[i] = next[i];
    slotCount = nextCount;
    totalNodes += nextCount;
  }
}
