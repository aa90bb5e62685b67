#include <gtest/gtest.h>

#include "scan/after_scan_mode.h"
#include "scan/scanner_request.h"

TEST(ScannerRequest, PlainRequestNamesNoDevice) {
  EXPECT_FALSE(ParseScannerRequest("CMD:TWAIN").namesDevice);
  EXPECT_FALSE(ParseScannerRequest("CMD:TWAIN/0001 {X}").namesDevice);
}

TEST(ScannerRequest, DeviceKeyRunsToTheFirstBlank) {
  const ScannerRequest request =
      ParseScannerRequest("CMD:TWAIN\\{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001 {A1B2} x");
  EXPECT_TRUE(request.namesDevice);
  EXPECT_EQ(request.deviceKey, "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001");
  EXPECT_EQ(request.eventId, "{A1B2} x");  // everything behind the first blank
}

TEST(ScannerRequest, WithoutABlankTheRestIsTheDeviceKey) {
  ScannerRequest request = ParseScannerRequest("CMD:TWAIN\\Image\\0002");
  EXPECT_TRUE(request.namesDevice);
  EXPECT_EQ(request.deviceKey, "Image\\0002");
  EXPECT_EQ(request.eventId, "");

  request = ParseScannerRequest("CMD:TWAIN\\");
  EXPECT_TRUE(request.namesDevice);
  EXPECT_EQ(request.deviceKey, "");
  request = ParseScannerRequest("CMD:TWAIN\\key ");
  EXPECT_EQ(request.deviceKey, "key");
  EXPECT_EQ(request.eventId, "");
}

TEST(ScannerRequest, ActionsMapToAcquisitions) {
  EventStep step = StepForEventAction(0);
  EXPECT_FALSE(step.acquire);
  EXPECT_FALSE(step.registerAnew);

  step = StepForEventAction(1);
  EXPECT_TRUE(step.acquire && step.showSourceDialog);
  EXPECT_EQ(step.afterScanMode, kAfterScanShow);

  step = StepForEventAction(2);
  EXPECT_TRUE(step.acquire && !step.showSourceDialog);
  EXPECT_EQ(step.afterScanMode, kAfterScanShow);

  step = StepForEventAction(3);
  EXPECT_TRUE(step.acquire && !step.showSourceDialog);
  EXPECT_EQ(step.afterScanMode, kAfterScanPrint);

  step = StepForEventAction(4);
  EXPECT_TRUE(step.acquire && !step.showSourceDialog);
  EXPECT_EQ(step.afterScanMode, kAfterScanSeriesSave);

  for (int unusable : {-1, 5, 7, 1000}) {
    step = StepForEventAction(unusable);
    EXPECT_TRUE(step.registerAnew) << unusable;
    EXPECT_FALSE(step.acquire) << unusable;
  }
}
