#pragma once
// The table of image-loader plug-ins built from the settings section "spi": one entry per
// file-name ending whose value names a module. Platform-free; the settings are read through
// a callback so that the table can be built from any source.

#include <cstddef>
#include <functional>

inline constexpr size_t kPluginModuleNameSize = 512;
inline constexpr size_t kPluginEndingSize = 64;
inline constexpr size_t kPluginTableCapacity = 256;
// Longer module names are refused rather than cut: a cut name could be another module.
inline constexpr size_t kMaxPluginModuleNameLength = 63;

struct PluginEntry {
  char moduleName[kPluginModuleNameSize];
  char ending[kPluginEndingSize];
};

struct PluginTable {
  PluginEntry entries[kPluginTableCapacity];
  size_t count;
};

// Reads the value of `key` into `out` (`size` bytes), giving "?" when the key is absent.
using PluginValueReader = std::function<void(const char* key, char* out, size_t size)>;

// Rebuilds `table` from a list of zero-terminated keys, ended by an empty key or by the end
// of the `listSize`-byte buffer. Keys whose value begins with "?" are left out; keys too
// long for an entry's ending are left out, since they could only be matched cut short.
void BuildPluginTable(const char* keyList, size_t listSize, const PluginValueReader& readValue,
                      PluginTable* table);

// The first entry whose ending is shorter than the path and ends it (ASCII letters without
// regard to case), or null.
const PluginEntry* FindPluginForPath(const PluginTable& table, const char* path, size_t length);

// True when the entry's module name was read whole.
bool HasUsableModuleName(const PluginEntry& entry);
