#pragma once
// Paths are code page 932 bytes: the second byte of a two-byte character may equal "\".

#include <cstddef>

// True for a byte that starts a two-byte character of code page 932.
bool IsCp932LeadByte(unsigned char byte);

// The index of the last "\" of the first `length` bytes of `path`, skipping the second byte
// of every two-byte character; -1 when there is none.
long LastPathSeparator(const char* path, size_t length);
