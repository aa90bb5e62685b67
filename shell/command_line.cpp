#include "shell/command_line.h"

#include <cstring>

#include "core/image_file_names.h"
#include "core/path_text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The length of `path` when `text` begins with it, else 0. The second byte of a double-byte
// character is compared as it is: it is no letter.
size_t PathPrefixLength(const char* text, const char* path) {
  bool secondByte = false;
  size_t i = 0;
  for (; path[i] != '\0'; ++i) {
    const bool same =
        secondByte ? text[i] == path[i] : EqualsIgnoringAsciiCase(text + i, path + i, 1);
    if (!same) return 0;
    secondByte = !secondByte && IsCp932LeadByte(static_cast<unsigned char>(path[i]));
  }
  return i;
}

}  // namespace

const char* SkipProgramName(const char* text, const char* ownPath) {
  if (text[0] == '"') {
    const char* closing = std::strchr(text + 1, '"');
    text = closing != nullptr ? closing + 1 : text + std::strlen(text);
  } else if (const size_t own = PathPrefixLength(text, ownPath);
             text[own] == '\0' || IsBlank(text[own])) {
    text += own;
  } else {
    while (*text != '\0' && !IsBlank(*text)) ++text;
  }
  while (IsBlank(*text)) ++text;
  return text;
}

bool UnquoteCommandLine(const char* text, char out[kCommandLineSize]) {
  out[0] = '\0';
  size_t length = std::strlen(text);
  if (length >= kCommandLineSize) return false;
  if (text[0] == '"') {
    ++text;
    length = length >= 2 ? length - 2 : 0;
  }
  std::memcpy(out, text, length);
  out[length] = '\0';
  return true;
}
