#include "shell/command_line.h"

#include <cstring>

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
