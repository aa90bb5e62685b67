#pragma once

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

// Lets the system's picture object decode the file (JPEG, GIF, icons and whatever else it
// knows) and render it upright into `target`. `bytes` must be the start of the file's
// global-memory block, which is lent to a stream and stays the caller's. An empty target is
// created at the picture's size in pixels at the display's resolution; a target that
// already holds an image receives the picture stretched to its size.
bool ReadSystemPicture(const uint8_t* bytes, ImageBuffer* target, size_t length);
