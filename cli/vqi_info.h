#pragma once
// The description that `vqiconv info` prints.

#include <cstddef>
#include <cstdint>
#include <string>

// Lines giving width, height, colour model, plane count and each plane's stored length and
// stages; false when the header or plane table is damaged.
bool DescribeVqiFile(const uint8_t* data, size_t length, std::string* text);
