#include <windows.h>

#include <cstring>

#include "core/bmp_reader.h"
#include "core/exif_orientation.h"
#include "core/image_buffer.h"
#include "core/image_file_names.h"
#include "core/image_loader.h"
#include "core/image_orientation.h"
#include "core/plugin_reader.h"
#include "core/system_picture.h"
#include "core/wic_reader.h"
#include "shell/settings.h"
#include "vqi/vqi_decoder.h"

namespace {

// A file's bytes and the page asked for; a reader that knows of no pages takes page 0 only,
// as the file's one page.
struct FileBlock {
  const uint8_t* bytes;
  size_t length;
  const char* path;
  int32_t page;
};

using ImageReader = bool (*)(const FileBlock& file, ImageBuffer* target, int32_t* pageCount);

// The order decides between formats: the VQI decoder comes first, the plug-ins before the
// built-in BMP reader, then the system picture decoder, and the imaging component last.
const ImageReader kReaders[] = {
    [](const FileBlock& file, ImageBuffer* target, int32_t*) {
      return file.page == 0 && ReadVqiImage(target, file.bytes, file.length);
    },
    [](const FileBlock& file, ImageBuffer* target, int32_t*) {
      return file.page == 0 && ReadPluginImage(file.bytes, file.path, target, file.length);
    },
    [](const FileBlock& file, ImageBuffer* target, int32_t*) {
      return file.page == 0 && ReadBmpImage(file.bytes, file.length, target);
    },
    [](const FileBlock& file, ImageBuffer* target, int32_t*) {
      return file.page == 0 && ReadSystemPicture(file.bytes, target, file.length);
    },
    [](const FileBlock& file, ImageBuffer* target, int32_t* pageCount) {
      return ReadWicImage(file.bytes, file.length, file.page, pageCount, target);
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
  int32_t pageCount = 0;
  return LoadImageFilePage(target, path, 0, &pageCount);
}

bool LoadImageFilePage(ImageBuffer* target, const char* path, int32_t page, int32_t* pageCount) {
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
    const FileBlock contents = {static_cast<const uint8_t*>(block), size, path, page};
    int32_t pages = 1;
    for (ImageReader reader : kReaders) {
      if (reader(contents, target, &pages)) {
        loaded = true;
        break;
      }
    }
    if (loaded) {
      GdiFlush();  // drawing into the image must be done before its pixels are moved
      OrientImage(target, ReadExifOrientation(contents.bytes, size, page));
      *pageCount = pages;
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
