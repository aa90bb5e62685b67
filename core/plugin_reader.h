#pragma once

#include <cstddef>
#include <cstdint>

struct ImageBuffer;

// Offers the file to the image-loader plug-in listed in the settings section "spi" for the
// first key that ends `path`. The module is loaded for this call only. A module that cannot
// be loaded or lacks an export is reported in a message box titled with its name. True when
// the plug-in filled the empty `target`; otherwise the target stays empty.
bool ReadPluginImage(const uint8_t* bytes, const char* path, ImageBuffer* target, size_t length);
