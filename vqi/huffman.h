#pragma once
// The byte-oriented Huffman coder of VQI planes. A block is a 20-byte header, a depth table
// (the byte values depth by depth, each depth closed by a repeat of the last value) and the
// bit stream; coder and decoder both derive the same canonical code from the table.

#include <cstddef>
#include <cstdint>

inline constexpr size_t kHuffmanHeaderSize = 20;
inline constexpr int kMaxHuffmanCodeLength = 31;
// 256 values and a terminator for each of at most 255 depths.
inline constexpr size_t kMaxHuffmanTableLength = 256 + 255;

inline constexpr int64_t kHuffmanTooFewValues = -99;
inline constexpr int64_t kHuffmanCodeTooLong = -1;
inline constexpr int64_t kHuffmanOutputFull = -2;

// Codes `length` bytes into one block in `output` and gives the block size;
// kHuffmanTooFewValues when the input holds fewer than two distinct values,
// kHuffmanCodeTooLong when a code would exceed 31 bits, kHuffmanOutputFull when the block
// would need more than `capacity` bytes. Nothing is written unless the block is made, and
// never beyond `capacity` bytes. (The block is at most length + 20 + kMaxHuffmanTableLength
// bytes: no code of an optimal tree averages more than 8 bits.)
int64_t HuffmanEncode(uint8_t* output, size_t capacity, const uint8_t* input, size_t length);

// The block's stored symbol count, or -1 when the block does not fit `blockLength` bytes or
// its table is damaged (more than 256 nodes at a depth or 512 in all, a code longer than 31
// bits, a tree left incomplete). Decodes the stored count of bytes, or `maximum` when it is
// positive and smaller, into `output`. Bits beyond the block read as zero.
int64_t HuffmanDecode(uint8_t* output, const uint8_t* block, size_t blockLength, int64_t maximum);

// The fields of a block header that a decoder needs, read without trusting them.
struct HuffmanBlockFields {
  uint32_t symbolCount;
  int tableEnd;
  int firstLeafDepth;
};
bool ReadHuffmanBlockFields(const uint8_t* block, size_t blockLength, HuffmanBlockFields* fields);
