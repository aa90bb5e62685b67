// What a scanner event asks for: the events listed in the settings, and the step each action
// takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/after_scan_mode.h"
#include "scan/event_table.h"
#include "scan/scanner_request.h"

namespace {

TEST(ScannerRequest, ActionsMapToAcquisitions) {
  const struct {
    int action;
    bool acquire, sourceDialog, registerAnew;
    int afterScan;
  } cases[] = {{0, false, false, false, -1},
               {1, true, true, false, kAfterScanShow},
               {2, true, false, false, kAfterScanShow},
               {3, true, false, false, kAfterScanPrint},
               {4, true, false, false, kAfterScanSeriesSave},
               {5, false, false, true, -1},
               {-1, false, false, true, -1}};
  for (const auto& c : cases) {
    const EventStep step = StepForEventAction(c.action);
    EXPECT_TRUE(step.acquire == c.acquire && step.registerAnew == c.registerAnew) << c.action;
    EXPECT_TRUE(!c.acquire ||
                (step.showSourceDialog == c.sourceDialog && step.afterScanMode == c.afterScan))
        << c.action;
  }
}

// Key names as the profile functions give them: each ended by a zero, then one more zero.
std::vector<std::string> Listed(const std::vector<std::string>& names, bool bufferFull = false) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  EventEntry table[kMaxEvents + 1];
  const int count = FillEventTable(list.data(), list.size() + 1, bufferFull, table);
  EXPECT_EQ(table[count].name[0], '\0');
  std::vector<std::string> listed;
  for (int i = 0; i < count; ++i) listed.push_back(table[i].name);
  return listed;
}

TEST(EventTable, ListsTheSectionsNamesInOrderThatFit) {
  std::vector<std::string> forty;
  for (int i = 0; i < 40; ++i) forty.push_back("Event" + std::to_string(i));
  const std::string longest(47, 'a'), tooLong(48, 'b');
  using Names = std::vector<std::string>;
  EXPECT_EQ(Listed(forty), Names(forty.begin(), forty.begin() + 31));  // at most 31
  EXPECT_EQ(Listed({"x", tooLong, longest, "y"}), (Names{"x", longest, "y"}));
  EXPECT_EQ(Listed({"One", "?Two", "Three"}), Names{"One"});  // "?" ends the list
  EXPECT_EQ(Listed({"One", "Tw"}, true), Names{"One"});       // a full buffer loses its last name
  EXPECT_TRUE(Listed({}).empty() && Listed({"?"}).empty());   // a missing section gives "?"
}

}  // namespace
