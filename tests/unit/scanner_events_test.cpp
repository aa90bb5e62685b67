// The step each action chosen for a scanner event takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/after_scan_mode.h"
#include "scan/event_table.h"
#include "scan/scanner_request.h"

namespace {

TEST(ScannerEvents, ActionsMapToAcquisitions) {
  const int afterScan[] = {-1, kAfterScanShow, kAfterScanShow, kAfterScanPrint,
                           kAfterScanSeriesSave};
  for (int action = -1; action <= 5; ++action) {
    const EventStep step = StepForEventAction(action);
    const bool known = action >= 0 && action <= 4;
    EXPECT_TRUE(step.acquire == (known && action > 0) && step.registerAnew == !known) << action;
    EXPECT_TRUE(!step.acquire ||
                (step.showSourceDialog == (action == 1) && step.afterScanMode == afterScan[action]))
        << action;
  }
}

// The key names as the settings file gives them: a name too long for its slot is left out, a
// name the full buffer may have cut is dropped, and the list ends at an empty name or a "?".
TEST(ScannerEvents, ListTakesTheNamesItCanKeep) {
  using namespace std::string_literals;
  const std::string longName(kEventNameSize, 'L');
  const struct {
    std::string names;
    bool bufferFull;
    std::vector<std::string> kept;
  } lists[] = {{"Scan\0"s + longName + "\0Copy\0\0Late\0"s, false, {"Scan", "Copy"}},
               {"Scan\0Cop\0"s, true, {"Scan"}},
               {"Scan\0?\0Copy\0"s, false, {"Scan"}}};
  for (const auto& list : lists) {
    const std::vector<char> exact(list.names.begin(), list.names.end());  // nothing past the end
    EventEntry table[kMaxEvents + 1];
    const int count = FillEventTable(exact.data(), exact.size(), list.bufferFull, table);
    ASSERT_EQ(count, static_cast<int>(list.kept.size())) << list.names;
    for (int i = 0; i < count; ++i) EXPECT_EQ(table[i].name, list.kept[i]);
    EXPECT_EQ(table[count].name[0], '\0');
  }
}

}  // namespace
