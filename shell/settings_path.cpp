#include "shell/settings_path.h"

#include <cstring>

namespace {
const char kSettingsFileName[] = "Pelora.ini";
}

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEC);
}

long LastPathSeparator(const char* path, size_t length) {
  long last = -1;
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (IsCp932LeadByte(byte)) {
      ++i;
    } else if (byte == '\\') {
      last = static_cast<long>(i);
    }
  }
  return last;
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
