#include "core/image_file_names.h"

#include <cstring>

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

const char* const kBuiltInExtensions[] = {".vqi",  ".bmp",  ".ico", ".jpg", ".gif",  ".png", ".tif",
                                          ".tiff", ".jpeg", ".jxr", ".wdp", ".webp", ".heic"};

}  // namespace

bool EqualsIgnoringAsciiCase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool HasBuiltInImageExtension(const char* path, size_t length) {
  for (const char* extension : kBuiltInExtensions) {
    const size_t n = std::strlen(extension);
    if (length >= n && EqualsIgnoringAsciiCase(path + length - n, extension, n)) return true;
  }
  return false;
}

bool PathEndsWithKey(const char* path, size_t length, const char* key, size_t keyLength) {
  return keyLength < length && EqualsIgnoringAsciiCase(path + length - keyLength, key, keyLength);
}

bool PathEndsWithAnyKey(const char* path, size_t length, const char* keyList, size_t listSize) {
  size_t pos = 0;
  while (pos < listSize && keyList[pos] != '\0') {
    const void* end = std::memchr(keyList + pos, '\0', listSize - pos);
    const size_t keyLength =
        end ? static_cast<size_t>(static_cast<const char*>(end) - (keyList + pos)) : listSize - pos;
    if (PathEndsWithKey(path, length, keyList + pos, keyLength)) return true;
    pos += keyLength + 1;
  }
  return false;
}

ImageFileFormat ImageFileFormatForPath(const char* path) {
  const struct {
    const char* extension;
    ImageFileFormat format;
  } kWritten[] = {{".png", ImageFileFormat::kPng},
                  {".jpg", ImageFileFormat::kJpeg},
                  {".jpeg", ImageFileFormat::kJpeg},
                  {".tif", ImageFileFormat::kTiff},
                  {".tiff", ImageFileFormat::kTiff}};
  const size_t length = std::strlen(path);
  for (const auto& written : kWritten) {
    if (PathEndsWithKey(path, length, written.extension, std::strlen(written.extension))) {
      return written.format;
    }
  }
  return ImageFileFormat::kBmp;
}
