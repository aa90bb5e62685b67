#include "scan/event_table.h"

#include <cstring>

int FillEventTable(const char* names, size_t length, bool bufferFull, EventEntry* table) {
  int count = 0;
  size_t at = 0;
  while (at < length && count < kMaxEvents) {
    const char* name = names + at;
    const void* end = std::memchr(name, '\0', length - at);
    if (end == nullptr) break;  // unterminated: cut by the buffer
    const size_t size = static_cast<const char*>(end) - name;
    if (size == 0 || name[0] == '?') break;
    at += size + 1;
    const bool last = at >= length || names[at] == '\0';
    if (last && bufferFull) break;
    if (size >= kEventNameSize) continue;
    std::memcpy(table[count].name, name, size + 1);
    table[count].action = 0;
    ++count;
  }
  table[count].name[0] = '\0';
  table[count].action = 0;
  return count;
}
