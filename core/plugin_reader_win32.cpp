#include <windows.h>

#include <cstring>

#include "core/dib_conversion.h"
#include "core/image_buffer.h"
#include "core/plugin_bitmap.h"
#include "core/plugin_reader.h"
#include "core/plugin_table.h"
#include "shell/app_state.h"
#include "shell/settings.h"

namespace {

// The two exports of a plug-in, called with the system's own calling convention. Sizes and
// the callback datum are pointer-sized so that 64-bit modules receive clean values.
using IsSupportedFunction = int(WINAPI*)(const char* path, const void* bytes);
using GetPictureFunction = int(WINAPI*)(const void* bytes, INT_PTR length, unsigned int flags,
                                        HLOCAL* info, HLOCAL* pixels, FARPROC progress,
                                        INT_PTR callbackData);
constexpr unsigned int kInputIsMemory = 1;
// Plug-ins look at the head of a file without being told its length, and may read this much.
constexpr size_t kPluginHeadSize = 2048;

PluginTable plugins;

// GetProcAddress gives every export one type; the caller names the real one.
template <typename Function>
Function FindExport(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Owned by the main window, which is then disabled: the image being loaded must not be
// replaced meanwhile.
void ReportLoadFailure(const char* moduleName) {
  MessageBoxA(MainWindow.window, "Error: Load", moduleName, MB_OK);
}

// A local-memory handle of the plug-in, locked, with the size of the memory it holds.
struct LockedMemory {
  explicit LockedMemory(HLOCAL handle)
      : handle(handle),
        bytes(handle ? static_cast<const uint8_t*>(LocalLock(handle)) : nullptr),
        size(bytes ? LocalSize(handle) : 0) {}
  ~LockedMemory() {
    if (bytes != nullptr) LocalUnlock(handle);
    if (handle != nullptr) LocalFree(handle);
  }
  LockedMemory(const LockedMemory&) = delete;
  LockedMemory& operator=(const LockedMemory&) = delete;

  HLOCAL handle;
  const uint8_t* bytes;
  size_t size;
};

// Depths other than plain 24 bits are converted by the system, through the screen's format.
bool ConvertThroughScreen(const PluginBitmap& bitmap, const uint8_t* pixels, ImageBuffer* target) {
  HDC screen = GetDC(nullptr);
  const bool drawn = DrawDibInto(bitmap.info, pixels, screen, target);
  ReleaseDC(nullptr, screen);
  return drawn;
}

// Turns what GetPicture handed back into the target; the handles are freed in every case.
bool TakePluginResult(HLOCAL infoHandle, HLOCAL pixelHandle, ImageBuffer* target) {
  if (infoHandle != nullptr && infoHandle == pixelHandle) {  // one block cannot be both
    LocalFree(infoHandle);
    return false;
  }
  LockedMemory info(infoHandle);
  LockedMemory pixels(pixelHandle);
  if (info.bytes == nullptr || pixels.bytes == nullptr) return false;
  PluginBitmap bitmap;
  if (!CheckPluginBitmap(info.bytes, info.size, pixels.size, &bitmap)) return false;
  if (!CreateImageBuffer(target, bitmap.width, 24, bitmap.height)) return false;
  if (IsPlain24BitBitmap(bitmap)) {
    CopyPlain24BitRows(bitmap, pixels.bytes, target);
    return true;
  }
  if (ConvertThroughScreen(bitmap, pixels.bytes, target)) return true;
  FreeImageBuffer(target);
  return false;
}

bool DecodeWithModule(HMODULE module, const char* moduleName, const uint8_t* bytes,
                      const char* path, ImageBuffer* target, size_t length) {
  const auto isSupported = FindExport<IsSupportedFunction>(module, "IsSupported");
  const auto getPicture = FindExport<GetPictureFunction>(module, "GetPicture");
  if (isSupported == nullptr || getPicture == nullptr) {
    ReportLoadFailure(moduleName);
    return false;
  }
  // A shorter file is shown through a zero-padded copy, so no plug-in reads past its end.
  uint8_t head[kPluginHeadSize] = {};
  const uint8_t* shown = bytes;
  if (length < kPluginHeadSize) {
    std::memcpy(head, bytes, length);
    shown = head;
  }
  if (isSupported(path, shown) == 0) return false;
  HLOCAL info = nullptr;
  HLOCAL pixels = nullptr;
  const int result =
      getPicture(bytes, static_cast<INT_PTR>(length), kInputIsMemory, &info, &pixels, nullptr, 0);
  // A failed call hands nothing over: whatever the handles hold is not ours to free.
  if (result != 0) return false;
  return TakePluginResult(info, pixels, target);
}

}  // namespace

bool ReadPluginImage(const uint8_t* bytes, const char* path, ImageBuffer* target, size_t length) {
  if (length > 0x7FFFFFFF) return false;  // plug-ins take a 32-bit size
  char keys[260];
  ReadSettingString("spi", nullptr, "?", keys, sizeof keys);
  if (keys[0] == '?') return false;
  BuildPluginTable(
      keys, sizeof keys,
      [](const char* key, char* out, size_t size) {
        ReadSettingString("spi", key, "?", out, size);
      },
      &plugins);
  const PluginEntry* entry = FindPluginForPath(plugins, path, std::strlen(path));
  if (entry == nullptr) return false;
  if (!HasUsableModuleName(*entry)) {
    ReportLoadFailure(entry->moduleName);
    return false;
  }
  HMODULE module = LoadLibraryA(entry->moduleName);
  if (module == nullptr) {
    ReportLoadFailure(entry->moduleName);
    return false;
  }
  const bool loaded = DecodeWithModule(module, entry->moduleName, bytes, path, target, length);
  FreeLibrary(module);
  return loaded;
}
