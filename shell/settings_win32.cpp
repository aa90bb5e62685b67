#include <windows.h>

#include <cstdio>
#include <string>

#include "shell/app_state.h"
#include "shell/settings.h"

namespace {

bool WriteFailureTold = false;

// Once a run: every later write fails the same way.
void TellWriteFailure(const char* path) {
  if (WriteFailureTold) return;
  WriteFailureTold = true;
  const std::string text = std::string("設定を保存できません．\n") + path;
  MessageBoxA(MainWindow.window, text.c_str(), "エラー", MB_OK);
}

}  // namespace

bool GetSettingsPath(char buffer[kSettingsPathSize]) {
  char module[kSettingsPathSize];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  // A full buffer means the name was cut: such a path would name another folder.
  if (length == 0 || length >= sizeof module) {
    buffer[0] = '\0';
    return false;
  }
  return SettingsPathFromModulePath(module, length, buffer);
}

int ReadSettingInt(const char* section, const char* key, int fallback) {
  char path[kSettingsPathSize];
  if (!GetSettingsPath(path)) return fallback;
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path));
}

size_t ReadSettingString(const char* section, const char* key, const char* fallback, char* out,
                         size_t size) {
  char path[kSettingsPathSize];
  if (!GetSettingsPath(path)) {
    lstrcpynA(out, fallback, static_cast<int>(size));
    return static_cast<size_t>(lstrlenA(out));
  }
  return GetPrivateProfileStringA(section, key, fallback, out, static_cast<DWORD>(size), path);
}

bool WriteSettingString(const char* section, const char* key, const char* value) {
  char path[kSettingsPathSize];
  if (GetSettingsPath(path) && WritePrivateProfileStringA(section, key, value, path) != FALSE) {
    return true;
  }
  TellWriteFailure(path);
  return false;
}

bool WriteSettingInt(const char* section, const char* key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteSettingString(section, key, text);
}
