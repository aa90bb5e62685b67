#pragma once
// Turning a file into an image: the whole file is read into memory and offered to the
// readers in a fixed order, the first that accepts it filling the target. A picture whose
// orientation tag says it was taken turned or mirrored is put upright.

#include <cstdint>

struct ImageBuffer;

// Loads the file at `path` (code page 932) into `target`, which must be empty. False when the
// file cannot be read or no reader accepts it.
bool LoadImageFile(ImageBuffer* target, const char* path);

// Loads page `page` (0 the first) of the file; `pageCount` receives how many pages it has:
// those of a TIFF file, 1 for every other picture. False, with `pageCount` untouched, when the
// file cannot be read, has no such page or no reader accepts it.
bool LoadImageFilePage(ImageBuffer* target, const char* path, int32_t page, int32_t* pageCount);

// True when the file exists, can be opened, is not empty, and its name ends in a built-in
// image extension or in a file-name ending of the plug-in section "spi". Reads no content.
bool IsLoadableImageFile(const char* path);
