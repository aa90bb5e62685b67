#pragma once
// Delta coding of a plane as one sequence across rows: every byte but the first becomes its
// difference (mod 256) from the byte before it.

#include <cstddef>
#include <cstdint>

void DeltaEncode(uint8_t* bytes, size_t length);
void DeltaDecode(uint8_t* bytes, size_t length);
