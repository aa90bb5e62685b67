#pragma once
// Which file names count as images: the built-in extensions and the file-name endings of the
// plug-in section. Platform-free; names are code page 932 bytes.

#include <cstddef>

// Compares n bytes, ASCII letters without regard to case.
bool EqualsIgnoringAsciiCase(const char* a, const char* b, size_t n);

// True when the path ends in one of the built-in image extensions: ".vqi", ".bmp", ".ico",
// ".jpg", ".gif", ".png", ".tif", ".tiff", ".jpeg", ".jxr", ".wdp", ".webp" or ".heic".
bool HasBuiltInImageExtension(const char* path, size_t length);

// True when `key` is shorter than the path and the path ends with it.
bool PathEndsWithKey(const char* path, size_t length, const char* key, size_t keyLength);

// Walks a list of zero-terminated keys, ended by an empty key or by the end of the
// `listSize`-byte buffer; true when the path ends with one of them.
bool PathEndsWithAnyKey(const char* path, size_t length, const char* keyList, size_t listSize);

// The formats the program writes.
enum class ImageFileFormat { kBmp, kPng, kJpeg, kTiff };

// The format a file to be written asks for by its ending: ".png", ".jpg", ".jpeg", ".tif",
// ".tiff" in any case; BMP for every other name.
ImageFileFormat ImageFileFormatForPath(const char* path);
