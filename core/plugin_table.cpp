#include "core/plugin_table.h"

#include <cstring>

#include "core/image_file_names.h"

void BuildPluginTable(const char* keyList, size_t listSize, const PluginValueReader& readValue,
                      PluginTable* table) {
  table->count = 0;
  size_t pos = 0;
  while (pos < listSize && keyList[pos] != '\0' && table->count < kPluginTableCapacity) {
    const void* end = std::memchr(keyList + pos, '\0', listSize - pos);
    if (end == nullptr) break;  // an unterminated last key may have been cut
    const char* key = keyList + pos;
    const size_t keyLength = static_cast<size_t>(static_cast<const char*>(end) - key);
    pos += keyLength + 1;
    if (keyLength >= kPluginEndingSize) continue;

    PluginEntry& entry = table->entries[table->count];
    std::memcpy(entry.ending, key, keyLength + 1);
    readValue(key, entry.moduleName, sizeof entry.moduleName);
    entry.moduleName[sizeof entry.moduleName - 1] = '\0';
    if (entry.moduleName[0] != '?') ++table->count;
  }
}

const PluginEntry* FindPluginForPath(const PluginTable& table, const char* path, size_t length) {
  for (size_t i = 0; i < table.count; ++i) {
    const PluginEntry& entry = table.entries[i];
    if (PathEndsWithKey(path, length, entry.ending, std::strlen(entry.ending))) return &entry;
  }
  return nullptr;
}

bool HasUsableModuleName(const PluginEntry& entry) {
  return std::strlen(entry.moduleName) <= kMaxPluginModuleNameLength;
}
