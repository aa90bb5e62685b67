#pragma once
// The canonical code that a depth table describes, shared by the Huffman coder and decoder.

#include <cstdint>

struct HuffmanLeaf {
  uint8_t value;
  uint8_t length;  // 1 to 31
  uint32_t code;   // bit 0 is the branch taken at the root
};

// A hostile table can name a value twice, so there is room for as many leaves as nodes.
inline constexpr int kMaxHuffmanNodes = 512;
inline constexpr int kMaxHuffmanNodesAtDepth = 256;

struct HuffmanCode {
  HuffmanLeaf leaves[kMaxHuffmanNodes];
  int leafCount;
};

// Builds the canonical tree from the table at block offsets 20 .. tableEnd − 1: at each depth
// from firstLeafDepth on, the listed values take the leftmost slots and the other slots
// become internal nodes whose children form the next depth. False when the table asks for
// more than 256 nodes at a depth or 512 in all, a code longer than 31 bits, or ends before
// every slot is a leaf.
bool BuildHuffmanCode(const uint8_t* block, int tableEnd, int firstLeafDepth, HuffmanCode* code);
