#pragma once

struct ImageBuffer;

// Writes the image as an uncompressed BMP file: the file header, the image's information
// header, then its pixel memory as it stands. False for an empty image or a failed write;
// an existing file is replaced only by a complete one.
bool WriteBmpFile(const char* path, const ImageBuffer* image);
