// Paths and names made from text in code page 932, where the second byte of a double-byte
// character may be the byte of "\": "表" is 0x95 0x5C, "ソ" 0x83 0x5C.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "core/image_file_names.h"
#include "core/path_text.h"
#include "scan/document_text.h"
#include "scan/series_name.h"
#include "scan/twain_protocol.h"
#include "shell/settings_path.h"

namespace {

std::string SettingsPathFor(const std::string& module) {
  char out[kSettingsPathSize];
  return SettingsPathFromModulePath(module.data(), module.size(), out) ? out : "<refused>";
}

std::string TwString(const std::string& text) {
  char field[34];
  std::fill(field, field + 34, 'x');
  CopyTwString(field, text.c_str());
  return std::string(field, field + 34).c_str();
}

TEST(PathText, MadeFromTheRightPieces) {
  const std::string folder = "C:\\ソ" + std::string(495, 'a') + "\\";  // 501 bytes
  const std::pair<std::string, std::string> cases[] = {
      {SettingsPathFor(folder + "表.exe"), folder + "Pelora.ini"},  // 511 bytes
      {SettingsPathFor(folder + "a\\P.exe"), "<refused>"},
      {DocumentTitle("C:\\表\\ソ.bmp"), "ソ.bmp - Pelora"},
      {DocumentTitle("\\page1.bmp"), "\\page1.bmp - Pelora"},  // the first byte is no separator
      {SeriesFilePath("D:\\x.y\\表.bmp", 1), "D:\\x.y\\表1.bmp"},
      {TwString(std::string(32, 'a') + "ソz"), std::string(32, 'a')},  // never split
      {TwString(std::string(31, 'a') + "ソz"), std::string(31, 'a') + "ソ"},
      {TwString("ab\x83"), "ab"},  // a lead byte without its second byte
  };
  for (const auto& c : cases) EXPECT_EQ(c.first, c.second);
  EXPECT_EQ(LastPathSeparator("C:\\ab表", 7), 2);
  EXPECT_EQ(LastPathSeparator("\x81\x5C\x9F\x5C\xE0\x5C\xFC\x5C", 8), -1);  // both lead ranges
  EXPECT_EQ(LastPathSeparator("\xA0\x5C\xFD\x5C", 4), 3);  // half-width kana and others alone
}

TEST(PathText, BuiltInImageEndingsInAnyCase) {
  const std::pair<std::string, bool> cases[] = {{"a.vqi", true}, {"C:\\x\\PHOTO.JPG", true},
                                                {".bmp", true},  {"a.png", false},
                                                {"bmp", false},  {"a.bmp ", false}};
  for (const auto& [path, builtIn] : cases) {
    EXPECT_EQ(HasBuiltInImageExtension(path.data(), path.size()), builtIn) << path;
  }
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xE0", "\xC0", 1));  // ASCII letters only
}

}  // namespace
