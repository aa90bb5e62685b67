#pragma once
// The text a start of the program is given: one path, or a scanner request.

#include <cstddef>

inline constexpr size_t kCommandLineSize = 1024;

// The text that follows the program's name in the whole command line `text`, blanks after the
// name skipped. A quoted name ends at its closing quote. An unquoted one is `ownPath`, the
// executable's full path, when the text begins with it (ASCII letters in any case) followed by
// a blank or the end: the path may hold blanks. Else it ends at the first blank or tab.
const char* SkipProgramName(const char* text, const char* ownPath);

// Copies the command-line text, dropping a leading double quote together with the text's last
// character (a quoted path loses both quotes; whatever follows the closing quote keeps it).
// False, with `out` empty, when the text does not fit kCommandLineSize bytes.
bool UnquoteCommandLine(const char* text, char out[kCommandLineSize]);
