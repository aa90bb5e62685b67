#pragma once
// Scanning tests: the virtual scanner installed where Wine's source manager looks for its
// sources, set up per test through the file beside it, and the scanner device keys that the
// still-image service would have written.

#include <string>
#include <vector>

#include "tests/e2e/pelora_driver.h"
#include "tests/fixtures/virtual_scanner/scanned_page.h"

class ScannerTest : public ViewerTest {
 protected:
  static void SetUpTestSuite();
  void SetUp() override { ConfigureScanner(setup_); }
  void TearDown() override;

  // Writes the scanner's settings (`extra`: further "Key=value" lines) and empties its log.
  void ConfigureScanner(const ScannerSetup& setup, const std::string& extra = "");

  // What reached the scanner so far, one operation per line.
  std::vector<std::string> ScannerLog() const;
  bool ScannerLogHas(const std::string& line) const;
  // Waits until the scanner has been closed `times` times in all since it was configured.
  bool WaitUntilScannerClosed(int times = 1, DWORD ms = 10000) const;

  // Writes the scanner device below the class key, with "DriverDesc" (unless empty) and
  // events of the given identifiers and names.
  struct Event {
    std::string subkey, guid, name;
  };
  void WriteDevice(const std::string& description, const std::vector<Event>& events);

  // Waits until the view shows `page` as the scanner delivered it, at 1:1 (of a page larger
  // than the view, the part that shows).
  bool WaitUntilShown(const ScannerSetup& setup, int page = 0) const;
  // True when the BMP file holds `page` as 24-bit pixels.
  static bool FileHoldsPage(const std::string& path, const ScannerSetup& setup, int page = 0) {
    return FileHolds(path, setup.width, setup.height,
                     [&](int x, int y) { return ScannedColor(setup, page, x, y); });
  }

  static constexpr const char* kDeviceKey = "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\9042";
  ScannerSetup setup_{160, 120};
};

// The virtual scanner's own dialog, shown when the source's user interface is asked for, and
// its two buttons.
HWND WaitForScannerDialog();
inline constexpr int kScanButton = 1;
inline constexpr int kCloseButton = 2;
