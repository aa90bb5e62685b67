#include "tests/e2e/scanner_fixture.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

const char kClassPath[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

// Wine's source manager loads its sources from this folder, by these names.
std::string SourceFolder() {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows) + (sizeof(void*) == 8 ? "\\twain_64\\" : "\\twain_32\\");
}

HKEY CreateKey(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

void SetString(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

}  // namespace

void ScannerTest::SetUpTestSuite() {
  ViewerTest::SetUpTestSuite();
  CreateDirectoryA(SourceFolder().c_str(), nullptr);
  CopyFileA(BuiltFile("tests\\fixtures\\virtual_scanner\\VirtualScanner.ds").c_str(),
            (SourceFolder() + "sane.ds").c_str(), FALSE);
  // Our file, not a Wine source of the same name, is the one to load.
  HKEY overrides = CreateKey(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides");
  SetString(overrides, "sane.ds", "native");
  RegCloseKey(overrides);
}

void ScannerTest::TearDown() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kClassPath) + kDeviceKey).c_str());
  DeleteFileA((SourceFolder() + "VirtualScanner.ini").c_str());
}

void ScannerTest::ConfigureScanner(const ScannerSetup& setup, const std::string& extra) {
  setup_ = setup;
  std::ostringstream text;
  text << "[Scanner]\r\nWidth=" << setup.width << "\r\nHeight=" << setup.height
       << "\r\nDepth=" << setup.bitsPerPixel << "\r\nColors=" << setup.colorsUsed
       << "\r\nTopDown=" << setup.topDown << "\r\nPages=" << setup.pages << "\r\n"
       << extra;
  WriteSettings(SourceFolder() + "VirtualScanner.ini", text.str());
  DeleteFileA((SourceFolder() + "VirtualScanner.log").c_str());
}

std::vector<std::string> ScannerTest::ScannerLog() const {
  std::ifstream file(SourceFolder() + "VirtualScanner.log");
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

bool ScannerTest::ScannerLogHas(const std::string& line) const {
  const std::vector<std::string> log = ScannerLog();
  return std::find(log.begin(), log.end(), line) != log.end();
}

bool ScannerTest::WaitUntilScannerClosed(int times, DWORD ms) const {
  return WaitUntil(
      [&] {
        const std::vector<std::string> log = ScannerLog();
        return std::count(log.begin(), log.end(), "CLOSEDS") >= times;
      },
      ms);
}

void ScannerTest::WriteDevice(const std::string& description, const std::vector<Event>& events) {
  HKEY device = CreateKey(HKEY_LOCAL_MACHINE, std::string(kClassPath) + kDeviceKey);
  if (!description.empty()) SetString(device, "DriverDesc", description);
  for (const Event& event : events) {
    HKEY key = CreateKey(device, "Events\\" + event.subkey);
    SetString(key, "GUID", event.guid);
    SetString(key, nullptr, event.name);
    RegCloseKey(key);
  }
  RegCloseKey(device);
}

bool ScannerTest::WaitUntilShown(const ScannerSetup& setup, int page) const {
  return WaitUntil([&] {
    const ScreenPixels view = CaptureClient(pelora_.View());
    const ViewRect picture =
        ActualSizePictureRect({setup.width, setup.height}, {view.width, view.height});
    const int width = std::min(setup.width, view.width - picture.left);
    const int height = std::min(setup.height, view.height - picture.top);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (view.At(picture.left + x, picture.top + y) != ScannedColor(setup, page, x, y)) {
          return false;
        }
      }
    }
    return true;
  });
}

HWND WaitForScannerDialog() {
  HWND dialog = nullptr;
  WaitUntil([&] {
    dialog = FindWindowA("VirtualScannerDialog", nullptr);
    return dialog != nullptr && IsWindowVisible(dialog);
  });
  return dialog;
}
