#include <windows.h>

#include <cstring>

#include "core/bmp_reader.h"
#include "core/image_buffer.h"
#include "core/image_file_names.h"
#include "core/image_loader.h"
#include "core/plugin_reader.h"
#include "core/system_picture.h"
#include "shell/settings.h"
#include "vqi/vqi_decoder.h"

namespace {

using ImageReader = bool (*)(const uint8_t* bytes, size_t length, const char* path,
                             ImageBuffer* target);

// The order decides between formats: the VQI decoder comes first, the plug-ins before the
// built-in BMP reader, the system picture decoder last.
const ImageReader kReaders[] = {
    [](const uint8_t* bytes, size_t length, const char*, ImageBuffer* target) {
      return ReadVqiImage(target, bytes, length);
    },
    [](const uint8_t* bytes, size_t length, const char* path, ImageBuffer* target) {
      return ReadPluginImage(bytes, path, target, length);
    },
    [](const uint8_t* bytes, size_t length, const char*, ImageBuffer* target) {
      return ReadBmpImage(bytes, length, target);
    },
    [](const uint8_t* bytes, size_t length, const char*, ImageBuffer* target) {
      return ReadSystemPicture(bytes, target, length);
    },
};

// Opens the file without sharing and gives its size; files of 2 GiB and more are refused.
HANDLE OpenImageFile(const char* path, DWORD* size) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  LARGE_INTEGER fileSize;
  if (!GetFileSizeEx(file, &fileSize) || fileSize.QuadPart <= 0 || fileSize.QuadPart > 0x7FFFFFFF) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  *size = static_cast<DWORD>(fileSize.QuadPart);
  return file;
}

}  // namespace

bool LoadImageFile(ImageBuffer* target, const char* path) {
  if (target->kind != kImageEmpty) return false;  // readers never replace an image
  DWORD size = 0;
  HANDLE file = OpenImageFile(path, &size);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Global memory, because the system picture decoder lends this same block to a stream.
  HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
  DWORD read = 0;
  const bool complete =
      block != nullptr && ReadFile(file, block, size, &read, nullptr) && read == size;
  CloseHandle(file);
  bool loaded = false;
  if (complete) {
    const auto* bytes = static_cast<const uint8_t*>(block);
    for (ImageReader reader : kReaders) {
      if (reader(bytes, size, path, target)) {
        loaded = true;
        break;
      }
    }
  }
  if (block != nullptr) GlobalFree(block);
  return loaded;
}

bool IsLoadableImageFile(const char* path) {
  DWORD size = 0;
  HANDLE file = OpenImageFile(path, &size);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  const size_t length = std::strlen(path);
  if (HasBuiltInImageExtension(path, length)) return true;
  char keys[260];
  ReadSettingString("spi", nullptr, "?", keys, sizeof keys);
  if (keys[0] == '?') return false;
  return PathEndsWithAnyKey(path, length, keys, sizeof keys);
}
