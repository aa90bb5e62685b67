#pragma once
// Delta coding of a plane as one sequence across rows: every byte but the first becomes its
// difference (mod 256) from the byte before it.

#include <cstddef>
#include <cstdint>

void DeltaEncode(uint8_t* bytes, size_t length);
// Undoes it for a piece of a plane; `sum` is the last decoded byte before the piece (0 at
// the start). Gives the last decoded byte of the piece.
uint8_t DeltaDecode(uint8_t* bytes, size_t length, uint8_t sum);
