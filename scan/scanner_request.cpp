#include "scan/scanner_request.h"

#include <cstring>

#include "scan/after_scan_mode.h"

ScannerRequest ParseScannerRequest(const char* text) {
  ScannerRequest request;
  if (text[9] != '\\') return request;
  request.namesDevice = true;
  const char* key = text + 10;
  const char* blank = std::strchr(key, ' ');
  if (blank == nullptr) {
    request.deviceKey = key;
  } else {
    request.deviceKey.assign(key, blank);
    request.eventId = blank + 1;
  }
  return request;
}

EventStep StepForEventAction(int action) {
  EventStep step;
  switch (action) {
    case 0:
      break;
    case 1:
      step.acquire = true;
      step.showSourceDialog = true;
      break;
    case 2:
      step.acquire = true;
      break;
    case 3:
    case 4:
      step.acquire = true;
      step.afterScanMode = action == 3 ? kAfterScanPrint : kAfterScanSeriesSave;
      break;
    default:
      step.registerAnew = true;
      break;
  }
  return step;
}
