#pragma once
// Laying the decoded bytes of a VQI file's planes over the pixels of the target.

#include <cstdint>

#include "vqi/vqi_file.h"

struct ImageBuffer;

// Composes `rows` memory rows from `firstRow` on. planes[i] holds those rows of plane i, each
// `width` bytes, back to back; each row of the target starts at its stride, and its padding
// is left as it is. Alpha planes blend over what the target holds.
void ComposeRows(VqiPlaneLayout layout, int32_t width, const uint8_t* const planes[],
                 int32_t firstRow, int32_t rows, ImageBuffer* target);
