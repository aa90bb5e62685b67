// Names made from text in code page 932, where the second byte of a double-byte character may
// be the byte of "\": "表" is 0x95 0x5C, "ソ" 0x83 0x5C.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/image_file_names.h"
#include "scan/document_text.h"
#include "scan/twain_protocol.h"
#include "shell/command_line.h"

namespace {

// The 34-byte field of a scanner's strings, zero after the text.
std::string TwString(const std::string& text) {
  char field[34];
  CopyTwString(field, text.c_str());
  return std::string(field, field + 34);
}

TEST(PathText, MadeFromTheRightPiecesAndImageEndings) {
  const std::pair<std::string, std::string> cases[] = {
      {DocumentTitle("C:\\表\\ソ.bmp"), "ソ.bmp - Pelora"},
      {DocumentTitle("C:\\表\\ソ.tif", {1, 2}), "ソ.tif (2/2) - Pelora"},
      {DocumentTitle("scan.tif", {9, 12}), "scan.tif (10/12) - Pelora"},
      {PageStatusText({1, 2}), "ページ 2 / 2"},
      {PageStatusText({0, 1}), ""},
      {TwString(std::string(32, 'a') + "ソz"),
       std::string(32, 'a') + std::string(2, '\0')},  // never split
      {TwString(std::string(31, 'a') + "ソz"), std::string(31, 'a') + "ソ" + '\0'},
      {TwString("ab\x83"), "ab" + std::string(32, '\0')},  // a lead byte without its second byte
  };
  for (const auto& c : cases) EXPECT_EQ(c.first, c.second);
  const std::pair<std::string, bool> endings[] = {
      {"a.vqi", true}, {"C:\\x\\PHOTO.JPG", true}, {".bmp", true},      {"a.bmx", false},
      {"bmp", false},  {"a.bmp ", false},          {"scan.TIFF", true}, {"p.webp", true}};
  for (const auto& [path, builtIn] : endings) {
    EXPECT_EQ(HasBuiltInImageExtension(path.data(), path.size()), builtIn) << path;
  }
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xE0", "\xC0", 1));  // ASCII letters only
  // Pages stop at both ends: {current, count, step, the page stepped to}.
  const int32_t steps[][4] = {{0, 3, 1, 1},  {1, 3, 1, 2},   {2, 3, 1, -1},
                              {1, 3, -1, 0}, {0, 3, -1, -1}, {0, 1, 1, -1}};
  for (const auto& s : steps) EXPECT_EQ(SteppedPage({s[0], s[1]}, s[2]), s[3]) << s[0] << s[2];
  // What a written file's ending asks for; BMP for every other name, a bare ending too.
  using enum ImageFileFormat;
  const std::pair<std::string, ImageFileFormat> written[] = {
      {"page.png", kPng},  {"P.PNG", kPng},   {"a.jpg", kJpeg}, {"a.JPEG", kJpeg},
      {"a.tif", kTiff},    {"a.Tiff", kTiff}, {"a.bmp", kBmp},  {"page.pdf", kBmp},
      {"a.png.txt", kBmp}, {".png", kBmp},    {"apng", kBmp},   {"a.tiff ", kBmp}};
  for (const auto& [path, format] : written)
    EXPECT_EQ(ImageFileFormatForPath(path.c_str()), format) << path;
}

// Cut after the program's name: an unquoted name with blanks is found as the program's own
// path, ASCII letters in any case; "ツ" is 0x83 0x63 ("c"), "イ" 0x83 0x43 ("C").
TEST(PathText, ProgramNameSkippedHoweverTheCommandLineGivesIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"c:\\ツール 山田\\PELORA.EXE \t\"a b.bmp\"", "\"a b.bmp\""},
      {"C:\\イール 山田\\Pelora.exe x", "山田\\Pelora.exe x"},
      {"C:\\ツール 山田\\Pelora.exes x", "山田\\Pelora.exes x"},
      {"Pelora\ta.bmp", "a.bmp"},
      {"\"Pelora.exe\"a.bmp", "a.bmp"},
      {"\"C:\\ツール 山田\\Pelora.exe x", ""},  // no closing quote
  };
  for (const auto& [commandLine, rest] : cases) {
    EXPECT_EQ(SkipProgramName(commandLine.c_str(), "C:\\ツール 山田\\Pelora.exe"), rest)
        << commandLine;
  }
}

}  // namespace
