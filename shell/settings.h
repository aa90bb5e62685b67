#pragma once
// The settings file "Pelora.ini" beside the executable, read and written one key at a time
// through the system's private-profile functions. Nothing is cached: every call reads or
// writes the file, so two running instances see each other's changes.

#include <cstddef>

#include "shell/settings_path.h"

// Fills `buffer` with the settings file's full path; false (buffer empty) when the
// executable's path is too long to build it.
bool GetSettingsPath(char buffer[kSettingsPathSize]);

// The key's integer, or `fallback` when the file, the key or the path is missing.
int ReadSettingInt(const char* section, const char* key, int fallback);

// The key's text (or `fallback`) into `out` of `size` bytes; gives the length copied.
size_t ReadSettingString(const char* section, const char* key, const char* fallback, char* out,
                         size_t size);

// Writes one key; the file and the section are made when missing. False when not written:
// the first failure of a run is told in a message box owned by the main window.
bool WriteSettingString(const char* section, const char* key, const char* value);
bool WriteSettingInt(const char* section, const char* key, int value);
