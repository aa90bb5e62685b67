#pragma once
// Where the settings file lies: beside the executable. Platform-free.

#include <cstddef>

inline constexpr size_t kSettingsPathSize = 512;

// Builds the settings path from the executable's path (its first `length` bytes): the folder
// with its trailing separator, then "Pelora.ini". False, with `out` empty, when the result
// does not fit kSettingsPathSize bytes.
bool SettingsPathFromModulePath(const char* modulePath, size_t length, char out[kSettingsPathSize]);
