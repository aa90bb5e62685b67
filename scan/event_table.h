#pragma once
// The scanner events listed in the settings dialog: the key names of section "EVENT" as the
// private-profile functions return them (names separated by zeros, the list ended by an
// empty name). Platform-free.

#include <cstddef>

inline constexpr int kMaxEvents = 31;
inline constexpr size_t kEventNameSize = 48;

struct EventEntry {
  char name[kEventNameSize];  // empty after the last event
  int action;
};

// Fills `table` (kMaxEvents + 1 slots) from the `length` bytes of `names`, in their order,
// ending at an empty name or one that begins with "?". Names too long for a slot are left
// out rather than cut, since a cut name would be another key; so is a last name that the
// buffer may have cut (`bufferFull`). Actions are set to 0. Gives the number of events.
int FillEventTable(const char* names, size_t length, bool bufferFull, EventEntry* table);
