#pragma once
// The scanner requests that the still-image service puts on the command line:
// "CMD:TWAIN", optionally followed by "\" + device key + blank + event identifier.
// Platform-free.

#include <string>

// The registry path below which device keys lie; the composed key path, the "\Events" suffix
// and the terminator must fit in 512 bytes.
inline constexpr const char kDeviceClassPath[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
inline constexpr size_t kMaxDeviceKeyLength = 465;

struct ScannerRequest {
  bool namesDevice = false;  // "CMD:TWAIN\..." rather than "CMD:TWAIN" alone
  std::string deviceKey;
  std::string eventId;  // empty when the request names no event
};

// Splits a request text. `text` must begin with "CMD:TWAIN".
ScannerRequest ParseScannerRequest(const char* text);

// What a scanner event's stored action asks for.
struct EventStep {
  bool acquire = false;
  bool showSourceDialog = false;
  int afterScanMode = 0;
  bool registerAnew = false;  // not a usable action: store 0 and tell the user
};

EventStep StepForEventAction(int action);
