#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "core/plugin_table.h"

namespace {

// The table built from keys with their values as the settings give them: each key ended by a
// zero byte, the list by another; `keep` cuts it short.
std::string ModuleFor(const PluginTable& table, const std::string& path) {
  const PluginEntry* entry = FindPluginForPath(table, path.data(), path.size());
  return entry ? entry->moduleName : "(none)";
}

void Build(PluginTable* table, const std::vector<std::pair<std::string, std::string>>& keys,
           size_t keep = std::string::npos) {
  std::string list;
  std::map<std::string, std::string> values;
  for (const auto& key : keys) list += key.first + '\0', values[key.first] = key.second;
  list = (list + '\0').substr(0, keep);
  BuildPluginTable(
      list.data(), list.size(),
      [&values](const char* key, char* out, size_t size) {
        const auto found = values.find(key);
        std::strncpy(out, found == values.end() ? "?" : found->second.c_str(), size - 1);
        out[size - 1] = '\0';
      },
      table);
}

TEST(PluginTable, EntriesInTheSectionsOrderFirstMatchWinsIgnoringCase) {
  PluginTable table;
  Build(&table, {{".a", "a.dll"},
                 {".b", "?"},
                 {".c", "?c.dll"},
                 {".d", ""},
                 {"e.TIF", "first.dll"},
                 {".tif", "second.dll"},
                 {".JPEG", "jpeg.dll"}});
  ASSERT_EQ(table.count, 5u);  // values starting with "?" are left out; an empty one is kept
  EXPECT_STREQ(table.entries[1].ending, ".d");
  EXPECT_STREQ(table.entries[1].moduleName, "");
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\scans\\page.tif", "first.dll"},
      {"C:\\scans\\photo.TIF", "second.dll"},
      {"photo.jpeg", "jpeg.dll"},
      {"photo.jpg", "(none)"},
      {".tif", "(none)"},  // an ending as long as the path never matches
      {"f", "(none)"}};
  for (const auto& c : cases) EXPECT_EQ(ModuleFor(table, c.first), c.second) << c.first;
  Build(&table, {{".b", "b.dll"}});  // rebuilding starts afresh
  EXPECT_TRUE(table.count == 1 && ModuleFor(table, "x.a") == "(none)");
  Build(&table, {});
  EXPECT_EQ(table.count, 0u);
}

TEST(PluginTable, WhatDoesNotFitIsLeftOutOrMarkedUnusable) {
  const std::string longest = std::string(59, 'k') + ".raw", fits(63, 'm');  // 63 bytes each
  PluginTable table;
  Build(&table,
        {{"x" + longest, "toolong.dll"}, {longest, "long.dll"}, {".a", fits}, {".b", fits + "x"}});
  ASSERT_EQ(table.count, 3u);
  EXPECT_EQ(ModuleFor(table, "ax" + longest), "long.dll");
  EXPECT_TRUE(HasUsableModuleName(table.entries[1]));
  EXPECT_FALSE(HasUsableModuleName(table.entries[2]));
  EXPECT_EQ(std::string(table.entries[2].moduleName), fits + "x");  // kept whole, not cut
  Build(&table, {{".a", "a.dll"}, {".bcd", "b.dll"}}, 5);  // ".a\0.b": the cut key is not used
  ASSERT_EQ(table.count, 1u);
  EXPECT_STREQ(table.entries[0].ending, ".a");
}

}  // namespace
