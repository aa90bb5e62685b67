#include "shell/settings_path.h"

#include <cstring>

#include "core/path_text.h"

namespace {
const char kSettingsFileName[] = "Pelora.ini";
}

bool SettingsPathFromModulePath(const char* modulePath, size_t length,
                                char out[kSettingsPathSize]) {
  out[0] = '\0';
  const long separator = LastPathSeparator(modulePath, length);
  const size_t folderLength = separator >= 0 ? static_cast<size_t>(separator) + 1 : 0;
  if (folderLength + sizeof kSettingsFileName > kSettingsPathSize) return false;
  std::memcpy(out, modulePath, folderLength);
  std::memcpy(out + folderLength, kSettingsFileName, sizeof kSettingsFileName);
  return true;
}
