#include <gtest/gtest.h>

#include <string>

#include "scan/document_text.h"
#include "shell/command_line.h"

namespace {

std::string Unquoted(const std::string& text) {
  char out[kCommandLineSize];
  return UnquoteCommandLine(text.c_str(), out) ? out : "<refused>";
}

}  // namespace

TEST(CommandLine, QuotesAreDroppedWithTheLastCharacter) {
  EXPECT_EQ(Unquoted("\"C:\\My Pictures\\a.bmp\""), "C:\\My Pictures\\a.bmp");
  EXPECT_EQ(Unquoted("C:\\My Pictures\\a.bmp"), "C:\\My Pictures\\a.bmp");
  EXPECT_EQ(Unquoted("\"C:\\a.bmp\" -x"), "C:\\a.bmp\" -");  // only the last character goes
  EXPECT_EQ(Unquoted("\"a.bmp\" \"b.bmp\""), "a.bmp\" \"b.bmp");
  EXPECT_EQ(Unquoted("\""), "");
  EXPECT_EQ(Unquoted(""), "");
}

TEST(CommandLine, TooLongIsRefusedNotCut) {
  EXPECT_EQ(Unquoted(std::string(1023, 'a')).size(), 1023u);
  EXPECT_EQ(Unquoted(std::string(1024, 'a')), "<refused>");
}

TEST(DocumentText, ScannerRequestsAreCaseSensitive) {
  EXPECT_TRUE(IsScannerRequest("CMD:TWAIN"));
  EXPECT_TRUE(IsScannerRequest("CMD:TWAIN\\{6BDD1FC6}\\0000 {A6C5A715}"));
  EXPECT_FALSE(IsScannerRequest("cmd:twain"));
  EXPECT_FALSE(IsScannerRequest("CMD:TWAI"));
}

TEST(DocumentText, TitleIsTheFileName) {
  EXPECT_EQ(DocumentTitle("C:\\scans\\page1.bmp"), "page1.bmp - Pelora");
  EXPECT_EQ(DocumentTitle("page1.bmp"), "page1.bmp - Pelora");
  EXPECT_EQ(DocumentTitle("C:\\scans\\"), " - Pelora");
  EXPECT_EQ(DocumentTitle("\\page1.bmp"),
            "\\page1.bmp - Pelora");  // the first byte is no separator
  EXPECT_EQ(DocumentTitle("C:\\表\\ソ.bmp"), "ソ.bmp - Pelora");
  EXPECT_EQ(DocumentTitle("C:\\a\\表"), "表 - Pelora");
}
