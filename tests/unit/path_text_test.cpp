// Paths, names and titles made from text in code page 932, where the second byte of a
// double-byte character may be the byte of "\": "表" is 0x95 0x5C, "ソ" 0x83 0x5C.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "core/image_file_names.h"
#include "core/path_text.h"
#include "scan/document_text.h"
#include "scan/series_name.h"
#include "scan/twain_protocol.h"
#include "shell/command_line.h"
#include "shell/settings_path.h"

namespace {

std::string SettingsPathFor(const std::string& module) {
  char out[kSettingsPathSize];
  return SettingsPathFromModulePath(module.data(), module.size(), out) ? out : "<refused>";
}

std::string Unquoted(const std::string& text) {
  char out[kCommandLineSize];
  return UnquoteCommandLine(text.c_str(), out) ? out : "<refused>";
}

std::string TwString(const std::string& text) {
  char field[34];
  std::fill(field, field + 34, 'x');
  CopyTwString(field, text.c_str());
  return std::string(field, field + 34).c_str();
}

bool BuiltIn(const std::string& path) { return HasBuiltInImageExtension(path.data(), path.size()); }

bool AnyKey(const std::string& path, const std::string& keyList) {
  return PathEndsWithAnyKey(path.data(), path.size(), keyList.data(), keyList.size());
}

TEST(PathText, MadeFromTheRightPieces) {
  const std::string folder = "C:\\" + std::string(497, 'a') + "\\";  // 501 bytes
  const std::pair<std::string, std::string> cases[] = {
      {SettingsPathFor("C:\\tools\\Pelora.exe"), "C:\\tools\\Pelora.ini"},
      {SettingsPathFor("\\\\server\\share\\Pelora.exe"), "\\\\server\\share\\Pelora.ini"},
      {SettingsPathFor("Pelora.exe"), "Pelora.ini"},
      {SettingsPathFor("C:\\表\\Pelora.exe"), "C:\\表\\Pelora.ini"},
      {SettingsPathFor("C:\\ソフト\\表.exe"), "C:\\ソフト\\Pelora.ini"},
      {SettingsPathFor(folder + "P.exe"), folder + "Pelora.ini"},  // 511 bytes
      {SettingsPathFor(folder + "a\\P.exe"), "<refused>"},
      {Unquoted("\"C:\\My Pictures\\a.bmp\""), "C:\\My Pictures\\a.bmp"},
      {Unquoted("C:\\My Pictures\\a.bmp"), "C:\\My Pictures\\a.bmp"},
      {Unquoted("\"C:\\a.bmp\" -x"), "C:\\a.bmp\" -"},  // only the last character goes
      {Unquoted("\""), ""},
      {Unquoted(""), ""},
      {Unquoted(std::string(1023, 'a')), std::string(1023, 'a')},
      {Unquoted(std::string(1024, 'a')), "<refused>"},  // too long is refused, not cut
      {DocumentTitle("C:\\scans\\page1.bmp"), "page1.bmp - Pelora"},
      {DocumentTitle("page1.bmp"), "page1.bmp - Pelora"},
      {DocumentTitle("C:\\scans\\"), " - Pelora"},
      {DocumentTitle("\\page1.bmp"), "\\page1.bmp - Pelora"},  // the first byte is no separator
      {DocumentTitle("C:\\表\\ソ.bmp"), "ソ.bmp - Pelora"},
      {DocumentTitle("C:\\a\\表"), "表 - Pelora"},
      {SeriesFilePath("D:\\scan\\page.bmp", 7), "D:\\scan\\page7.bmp"},
      {SeriesFilePath("D:\\scan\\scan.old.bmp", 10), "D:\\scan\\scan.old10.bmp"},
      {SeriesFilePath("page.", 0), "page0."},
      {SeriesFilePath(".bmp", -5), "-5.bmp"},
      {SeriesFilePath("D:\\scan.v2\\page", INT_MIN), "D:\\scan.v2\\page-2147483648"},
      {SeriesFilePath("D:\\scan.v2\\p.bmp", INT_MAX), "D:\\scan.v2\\p2147483647.bmp"},
      {SeriesFilePath("D:\\x.y\\表.bmp", 1), "D:\\x.y\\表1.bmp"},
      {SeriesFilePath("D:\\a.b\\表", 2), "D:\\a.b\\表2"},
      {TwString("Pelorex"), "Pelorex"},
      {TwString(std::string(40, 'a')), std::string(33, 'a')},
      {TwString(std::string(32, 'a') + "ソz"), std::string(32, 'a')},  // never split
      {TwString(std::string(31, 'a') + "ソz"), std::string(31, 'a') + "ソ"},
      {TwString("ab\x83"), "ab"},  // a lead byte without its second byte
  };
  for (const auto& c : cases) EXPECT_EQ(c.first, c.second);
  EXPECT_EQ(LastPathSeparator("C:\\ab表", 7), 2);
  EXPECT_EQ(LastPathSeparator("\x81\x5C\x9F\x5C\xE0\x5C\xFC\x5C", 8), -1);  // both lead ranges
  EXPECT_EQ(LastPathSeparator("\xA0\x5C\xFD\x5C", 4), 3);  // half-width kana and others alone
}

TEST(PathText, ImageFileEndingsAndScannerRequests) {
  for (const char* path :
       {"a.vqi", "C:\\x\\PHOTO.JPG", "scan.Bmp", "icon.ico", "anim.gif", ".bmp"}) {
    EXPECT_TRUE(BuiltIn(path)) << path;
  }
  for (const char* path : {"photo.jpeg", "bmp", "a.png", "a.bmp "}) EXPECT_FALSE(BuiltIn(path));
  EXPECT_TRUE(EqualsIgnoringAsciiCase("aBc", "AbC", 3));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xE0", "\xC0", 1));  // ASCII letters only
  EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{", 1));
  EXPECT_FALSE(PathEndsWithKey(".jpeg", 5, ".jpeg", 5));  // a key must be shorter than the path
  const std::string keys(".png\0.jpeg\0\0", 12), cut(".png\0.tiff", 10);
  EXPECT_TRUE(AnyKey("x.PNG", keys) && AnyKey("x.jpeg", keys) && AnyKey("x.tiff", cut));
  EXPECT_FALSE(AnyKey("x.tif", keys) || AnyKey("x.tif", cut));
  EXPECT_FALSE(AnyKey("x.png", std::string("\0.png\0\0", 7)));  // an empty list
  EXPECT_TRUE(IsScannerRequest("CMD:TWAIN") && IsScannerRequest("CMD:TWAIN\\{6B}\\0 {A6}"));
  EXPECT_FALSE(IsScannerRequest("cmd:twain") || IsScannerRequest("CMD:TWAI"));
}

}  // namespace
