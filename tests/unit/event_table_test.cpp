#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/event_table.h"

namespace {

// Key names as the profile functions give them: each ended by a zero, then one more zero.
std::string NameList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  return list + '\0';
}

std::vector<std::string> Listed(const std::string& list, bool bufferFull = false) {
  EventEntry table[kMaxEvents + 1];
  const int count = FillEventTable(list.data(), list.size(), bufferFull, table);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(table[i].name);
  EXPECT_EQ(table[count].name[0], '\0');
  return names;
}

}  // namespace

TEST(EventTable, KeepsTheFileOrder) {
  EXPECT_EQ(Listed(NameList({"ScanButton", "CopyButton", "A"})),
            (std::vector<std::string>{"ScanButton", "CopyButton", "A"}));
}

TEST(EventTable, EmptyOrMissingSectionListsNothing) {
  EXPECT_TRUE(Listed(NameList({})).empty());
  EXPECT_TRUE(Listed(std::string("?\0", 2)).empty());  // the default of a missing section
  EXPECT_TRUE(Listed("").empty());
}

TEST(EventTable, NameBeginningWithQuestionMarkEndsTheList) {
  EXPECT_EQ(Listed(NameList({"One", "?Two", "Three"})), std::vector<std::string>{"One"});
}

TEST(EventTable, AtMostThirtyOneEvents) {
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back("Event" + std::to_string(i));
  const std::vector<std::string> listed = Listed(NameList(names));
  ASSERT_EQ(listed.size(), 31u);
  EXPECT_EQ(listed.back(), "Event30");
}

TEST(EventTable, NamesThatDoNotFitAreLeftOutNotCut) {
  const std::string longest(47, 'a');
  const std::string tooLong(48, 'b');
  EXPECT_EQ(Listed(NameList({"x", tooLong, longest, "y"})),
            (std::vector<std::string>{"x", longest, "y"}));
}

TEST(EventTable, AFullBufferLosesItsLastPossiblyCutName) {
  EXPECT_EQ(Listed(NameList({"One", "Tw"}), true), std::vector<std::string>{"One"});
  // Without its final terminator the cut name is never read.
  EXPECT_EQ(Listed(std::string("One\0Tw", 6)), std::vector<std::string>{"One"});
}
