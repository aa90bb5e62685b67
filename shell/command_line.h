#pragma once
// The text a start of the program is given: one path, or a scanner request.

#include <cstddef>

inline constexpr size_t kCommandLineSize = 1024;

// Copies the command-line text, dropping a leading double quote together with the text's last
// character (a quoted path loses both quotes; whatever follows the closing quote keeps it).
// False, with `out` empty, when the text does not fit kCommandLineSize bytes.
bool UnquoteCommandLine(const char* text, char out[kCommandLineSize]);
