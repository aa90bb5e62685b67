#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "core/plugin_table.h"

namespace {

// A key list as the settings give it: each key ended by a zero byte, the list by another.
std::string KeyList(std::initializer_list<std::string> keys) {
  std::string list;
  for (const std::string& key : keys) list += key + '\0';
  return list + '\0';
}

class PluginTableTest : public ::testing::Test {
 protected:
  void Build(const std::string& keyList) {
    BuildPluginTable(
        keyList.data(), keyList.size(),
        [this](const char* key, char* out, size_t size) {
          const auto found = values_.find(key);
          const std::string value = found == values_.end() ? "?" : found->second;
          std::strncpy(out, value.c_str(), size - 1);
          out[size - 1] = '\0';
        },
        &table_);
  }

  std::string ModuleFor(const std::string& path) {
    const PluginEntry* entry = FindPluginForPath(table_, path.data(), path.size());
    return entry ? entry->moduleName : "(none)";
  }

  std::map<std::string, std::string> values_;
  PluginTable table_;
};

}  // namespace

TEST_F(PluginTableTest, EntriesKeepTheSectionsOrderAndSkipQuestionMarks) {
  values_ = {{".a", "a.dll"}, {".b", "?"}, {".c", "?c.dll"}, {".d", ""}, {".e", "e.dll"}};
  Build(KeyList({".a", ".b", ".c", ".d", ".e", ".missing"}));
  ASSERT_EQ(table_.count, 3u);
  EXPECT_STREQ(table_.entries[0].ending, ".a");
  EXPECT_STREQ(table_.entries[1].ending, ".d");
  EXPECT_STREQ(table_.entries[1].moduleName, "");  // an empty value is an entry
  EXPECT_STREQ(table_.entries[2].ending, ".e");
}

TEST_F(PluginTableTest, RebuildingStartsAfresh) {
  values_ = {{".a", "a.dll"}, {".b", "b.dll"}};
  Build(KeyList({".a", ".b"}));
  Build(KeyList({".b"}));
  ASSERT_EQ(table_.count, 1u);
  EXPECT_EQ(ModuleFor("x.a"), "(none)");
  Build(KeyList({}));
  EXPECT_EQ(table_.count, 0u);
}

TEST_F(PluginTableTest, TheFirstMatchingEndingWinsWithoutRegardToCase) {
  values_ = {{"e.TIF", "first.dll"}, {".tif", "second.dll"}, {".JPEG", "jpeg.dll"}};
  Build(KeyList({"e.TIF", ".tif", ".JPEG"}));
  EXPECT_EQ(ModuleFor("C:\\scans\\page.tif"), "first.dll");
  EXPECT_EQ(ModuleFor("C:\\scans\\photo.TIF"), "second.dll");
  EXPECT_EQ(ModuleFor("photo.jpeg"), "jpeg.dll");
  EXPECT_EQ(ModuleFor("photo.jpg"), "(none)");
  EXPECT_EQ(ModuleFor(".tif"), "(none)");  // an ending as long as the path never matches
  EXPECT_EQ(ModuleFor("f"), "(none)");
}

TEST_F(PluginTableTest, KeysTooLongForAnEntryAreLeftOut) {
  const std::string longest = std::string(59, 'k') + ".raw";  // 63 bytes: fits
  const std::string tooLong = "x" + longest;
  values_ = {{longest, "long.dll"}, {tooLong, "toolong.dll"}};
  Build(KeyList({tooLong, longest}));
  ASSERT_EQ(table_.count, 1u);
  EXPECT_EQ(ModuleFor("a" + tooLong), "long.dll");
}

TEST_F(PluginTableTest, AListCutByItsBufferEndsCleanly) {
  values_ = {{".a", "a.dll"}, {".bcd", "b.dll"}};
  const std::string list = KeyList({".a", ".bcd"});
  Build(list.substr(0, 5));  // ".a\0.b" with no terminator: the cut key is not used
  ASSERT_EQ(table_.count, 1u);
  EXPECT_STREQ(table_.entries[0].ending, ".a");
}

TEST_F(PluginTableTest, ModuleNamesLongerThanAnEntryHoldsAreUnusable) {
  const std::string fits(63, 'm');
  values_ = {{".a", fits}, {".b", fits + "x"}};
  Build(KeyList({".a", ".b"}));
  ASSERT_EQ(table_.count, 2u);
  EXPECT_TRUE(HasUsableModuleName(table_.entries[0]));
  EXPECT_FALSE(HasUsableModuleName(table_.entries[1]));
  EXPECT_EQ(std::string(table_.entries[1].moduleName), fits + "x");  // kept whole, not cut
}
