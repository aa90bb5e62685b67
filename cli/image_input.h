#pragma once
// Reading the converter's input images from disk: VQI, PNG, or BMP through the platform-free
// pixel decoder.

#include <cstdint>
#include <string>
#include <vector>

struct ImageBuffer;

// The whole file; false when it cannot be read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes);

inline constexpr char kNotEnoughMemory[] = "not enough memory";

// Fills the empty `target` from a VQI, PNG or BMP file. On failure gives the reason for the user,
// kNotEnoughMemory when memory ran out.
bool ReadInputImage(const char* path, ImageBuffer* target, std::string* reason);
