#pragma once
// Reading VQI files that lie whole in memory.

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

// Decodes the file into `target` as a 24-bit image. An empty target is created; a target
// that holds an image is drawn into (alpha planes blend over what it holds) and must be 24
// bits and at least as large as the file's image. False when the file is not a VQI file, is
// damaged in any way, or memory runs out; a target that was empty is then left empty. (Damage deep
// inside a plane shows only while decoding, so a target that held an image may keep the rows drawn
// before it.) The planes are decoded at the same time on threads of their own where the
// processor has more than one core; the threads end before the call returns.
bool ReadVqiImage(ImageBuffer* target, const uint8_t* data, size_t length);

// The same with at most `threads` threads (1: the caller's alone), for comparing the two and
// for batch work. `noMemory`, unless null, tells whether a false was for want of memory (a
// later try may succeed) rather than for the file.
bool ReadVqiImageWithThreads(ImageBuffer* target, const uint8_t* data, size_t length, int threads,
                             bool* noMemory = nullptr);
