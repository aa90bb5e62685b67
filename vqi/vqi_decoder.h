#pragma once
// Reading VQI files that lie whole in memory.

#include <cstddef>
#include <cstdint>

struct ImageBuffer;
struct VqiLayout;
struct VqiPlane;

// Decodes the file into `target` as a 24-bit image. An empty target is created; a target
// that holds an image is drawn into (alpha planes blend over what it holds) and must be 24
// bits and at least as large as the file's image. False when the file is not a VQI file or
// is damaged in any way; the target is then left as it was.
bool ReadVqiImage(ImageBuffer* target, const uint8_t* data, size_t length);

// Undoes the coding stages of one plane into `out`, width × height bytes. False when the
// plane is damaged: a Huffman block that is malformed or holds more symbols than pixels, a
// run-length stream that overruns the pixels or its bytes, an uncoded plane shorter than the
// pixels, or no memory for a working buffer.
bool DecodeVqiPlane(const uint8_t* data, const VqiPlane& plane, size_t pixelCount, uint8_t* out);
