// The step each action chosen for a scanner event takes, and the events listed in the
// settings: at most 31 names of at most 47 bytes, in a table that ends with an empty name.
#include <gtest/gtest.h>

#include <string>

#include "scan/after_scan_mode.h"
#include "scan/event_table.h"
#include "scan/scanner_request.h"

namespace {

TEST(ScannerEvents, ActionsAndTheListedEventsThatFit) {
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
  std::string list = std::string(48, 'b') + '\0' + std::string(47, 'a') + '\0';
  for (int i = 0; i < 40; ++i) list += "Event" + std::to_string(i) + '\0';
  EventEntry table[kMaxEvents + 1];
  ASSERT_EQ(FillEventTable(list.data(), list.size() + 1, false, table), 31);
  EXPECT_TRUE(table[0].name == std::string(47, 'a') && table[30].name == std::string("Event29"));
  EXPECT_EQ(table[31].name[0], '\0');
}

}  // namespace
