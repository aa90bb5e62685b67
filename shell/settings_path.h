#pragma once
// Where the settings file lies: beside the executable. Platform-free.

#include <cstddef>

inline constexpr size_t kSettingsPathSize = 512;

// True for a byte that starts a two-byte character of code page 932.
bool IsCp932LeadByte(unsigned char byte);

// The index of the last "\" of the first `length` bytes of `path`, skipping the second byte
// of every two-byte character; -1 when there is none.
long LastPathSeparator(const char* path, size_t length);

// Builds the settings path from the executable's path (its first `length` bytes): the folder
// with its trailing separator, then "Pelora.ini". False, with `out` empty, when the result
// does not fit kSettingsPathSize bytes.
bool SettingsPathFromModulePath(const char* modulePath, size_t length, char out[kSettingsPathSize]);
