#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/path_text.h"
#include "shell/settings_path.h"

namespace {

std::string SettingsPathFor(const std::string& module) {
  char out[kSettingsPathSize];
  if (!SettingsPathFromModulePath(module.data(), module.size(), out)) return "<refused>";
  return out;
}

}  // namespace

TEST(SettingsPath, LiesBesideTheExecutable) {
  EXPECT_EQ(SettingsPathFor("C:\\tools\\Pelora.exe"), "C:\\tools\\Pelora.ini");
  EXPECT_EQ(SettingsPathFor("\\\\server\\share\\Pelora.exe"), "\\\\server\\share\\Pelora.ini");
  EXPECT_EQ(SettingsPathFor("Pelora.exe"), "Pelora.ini");
}

TEST(SettingsPath, SecondByteOfADoubleByteCharacterIsNoSeparator) {
  // "表" and "ソ" end in the byte of "\" in code page 932.
  ASSERT_EQ(std::string("表"), "\x95\x5C");
  EXPECT_EQ(SettingsPathFor("C:\\表\\Pelora.exe"), "C:\\表\\Pelora.ini");
  EXPECT_EQ(SettingsPathFor("C:\\ソフト\\表.exe"), "C:\\ソフト\\Pelora.ini");
  EXPECT_EQ(LastPathSeparator("C:\\ab表", 7), 2);
  // Lead bytes of both ranges, to their ends.
  EXPECT_EQ(LastPathSeparator("\x81\x5C\x9F\x5C\xE0\x5C\xFC\x5C", 8), -1);
  EXPECT_EQ(LastPathSeparator("\xA0\x5C\xFD\x5C", 4), 3);  // half-width kana and others stand alone
}

TEST(SettingsPath, RefusesWhatDoesNotFit) {
  const std::string folder = "C:\\" + std::string(497, 'a') + "\\";  // 501 bytes
  EXPECT_EQ(SettingsPathFor(folder + "P.exe").size(), 511u);
  EXPECT_EQ(SettingsPathFor(folder + "a\\P.exe"), "<refused>");
}
