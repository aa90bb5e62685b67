#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "scan/twain_protocol.h"

TEST(TwainRecords, IdentityHasThePackedLayout) {
  EXPECT_EQ(offsetof(TwIdentity, Version), 4u);
  EXPECT_EQ(offsetof(TwIdentity, ProtocolMajor), 46u);
  EXPECT_EQ(offsetof(TwIdentity, SupportedGroups), 50u);
  EXPECT_EQ(offsetof(TwIdentity, Manufacturer), 54u);
  EXPECT_EQ(offsetof(TwIdentity, ProductFamily), 88u);
  EXPECT_EQ(offsetof(TwIdentity, ProductName), 122u);
  EXPECT_EQ(offsetof(TwUserInterface, hParent), 4u);
  EXPECT_EQ(offsetof(TwEvent, TWMessage), sizeof(void*));
  EXPECT_EQ(offsetof(TwPendingXfers, EOJ), 2u);
}

TEST(TwainRecords, StringsAreCutToFitAndTerminated) {
  char field[34];
  std::memset(field, 'x', sizeof field);
  CopyTwString(field, "Pelorex");
  EXPECT_STREQ(field, "Pelorex");
  EXPECT_EQ(field[33], '\0');

  const std::string longName = "Pelora Virtual Scanner Model 2000 Professional";
  CopyTwString(field, longName.c_str());
  EXPECT_EQ(std::string(field), longName.substr(0, 33));
}

TEST(TwainRecords, DoubleByteCharactersAreNeverSplit) {
  char field[34];
  // 32 single bytes, then a two-byte character that would need bytes 33 and 34.
  const std::string text = std::string(32, 'a') + "\x83\x58" + "z";
  CopyTwString(field, text.c_str());
  EXPECT_EQ(std::string(field), std::string(32, 'a'));

  const std::string fits = std::string(31, 'a') + "\x83\x58" + "z";
  CopyTwString(field, fits.c_str());
  EXPECT_EQ(std::string(field), std::string(31, 'a') + "\x83\x58");

  CopyTwString(field, "ab\x83");  // a lead byte without its second byte
  EXPECT_EQ(std::string(field), "ab");
}
