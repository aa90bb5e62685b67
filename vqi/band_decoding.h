#pragma once
// Decoding the planes of a VQI file a band of rows at a time and composing each band into
// the target.

#include <cstddef>
#include <cstdint>

#include "vqi/plane_reader.h"
#include "vqi/vqi_file.h"

struct ImageBuffer;

struct BandJob {
  VqiLayout layout;
  PlaneReader* readers;  // one per plane, opened
  int32_t bandRows;
  ImageBuffer* target;
};

// Bytes of one plane's band; small enough that a band of every plane and the pixels they
// make stay in the cache.
inline constexpr int32_t kBandBytes = 16384;

// Damaged when a plane turns out so, no memory when its band buffers cannot be had; the rows
// composed before stay. With threads > 1, up to threads − 1 helpers decode plane bands while
// the caller composes, two bands of each plane in use at a time.
DecodeResult DecodeBands(const BandJob& job, int threads);
