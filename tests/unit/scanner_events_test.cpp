// The step each action chosen for a scanner event takes.
#include <gtest/gtest.h>

#include "scan/after_scan_mode.h"
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

}  // namespace
