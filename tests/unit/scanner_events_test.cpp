// What a scanner event asks for: the request text on the command line, the events listed in
// the settings, and the step each action takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/after_scan_mode.h"
#include "scan/event_table.h"
#include "scan/scanner_request.h"

namespace {

TEST(ScannerRequest, DeviceKeyRunsToTheFirstBlankAndTheEventIsTheRest) {
  const struct {
    const char* text;
    bool namesDevice;
    const char* deviceKey;
    const char* eventId;
  } cases[] = {
      {"CMD:TWAIN", false, "", ""},
      {"CMD:TWAIN/0001 {X}", false, "", ""},
      {"CMD:TWAIN\\{6BDD1FC6-810F}\\0001 {A1B2} x", true, "{6BDD1FC6-810F}\\0001", "{A1B2} x"},
      {"CMD:TWAIN\\Image\\0002", true, "Image\\0002", ""},
      {"CMD:TWAIN\\", true, "", ""},
      {"CMD:TWAIN\\key ", true, "key", ""},
  };
  for (const auto& c : cases) {
    const ScannerRequest request = ParseScannerRequest(c.text);
    EXPECT_EQ(request.namesDevice, c.namesDevice) << c.text;
    if (c.namesDevice) {
      EXPECT_EQ(request.deviceKey, c.deviceKey) << c.text;
      EXPECT_EQ(request.eventId, c.eventId) << c.text;
    }
  }
}

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
               {-1, false, false, true, -1},
               {5, false, false, true, -1},
               {1000, false, false, true, -1}};
  for (const auto& c : cases) {
    const EventStep step = StepForEventAction(c.action);
    EXPECT_EQ(step.acquire, c.acquire) << c.action;
    EXPECT_EQ(step.registerAnew, c.registerAnew) << c.action;
    if (c.acquire) {
      EXPECT_EQ(step.showSourceDialog, c.sourceDialog) << c.action;
      EXPECT_EQ(step.afterScanMode, c.afterScan) << c.action;
    }
  }
}

// Key names as the profile functions give them: each ended by a zero, then one more zero.
std::string NameList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  return list + '\0';
}

std::vector<std::string> Listed(const std::string& list, bool bufferFull = false) {
  EventEntry table[kMaxEvents + 1];
  const int count = FillEventTable(list.data(), list.size(), bufferFull, table);
  EXPECT_EQ(table[count].name[0], '\0');
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(table[i].name);
  return names;
}

TEST(EventTable, ListsTheSectionsNamesInOrderThatFit) {
  std::vector<std::string> forty;
  for (int i = 0; i < 40; ++i) forty.push_back("Event" + std::to_string(i));
  const std::string longest(47, 'a'), tooLong(48, 'b');
  using Names = std::vector<std::string>;
  EXPECT_EQ(Listed(NameList({"Scan", "Copy", "A"})), (Names{"Scan", "Copy", "A"}));
  EXPECT_EQ(Listed(NameList(forty)), Names(forty.begin(), forty.begin() + 31));  // at most 31
  EXPECT_EQ(Listed(NameList({"x", tooLong, longest, "y"})), (Names{"x", longest, "y"}));
  EXPECT_EQ(Listed(NameList({"One", "?Two", "Three"})), Names{"One"});  // "?" ends the list
  // A full buffer loses its last, possibly cut, name; a list without its terminator too.
  EXPECT_EQ(Listed(NameList({"One", "Tw"}), true), Names{"One"});
  EXPECT_EQ(Listed(std::string("One\0Tw", 6)), Names{"One"});
  for (const std::string& empty : {NameList({}), std::string("?\0", 2), std::string()}) {
    EXPECT_TRUE(Listed(empty).empty());  // a missing section gives "?"
  }
}

}  // namespace
