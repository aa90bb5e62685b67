#include "scan/document_open.h"

#include <cstring>

#include <string>

#include "core/image_loader.h"
#include "scan/after_scan_mode.h"
#include "scan/scanner_request.h"
#include "scan/twain.h"
#include "shell/image_view.h"
#include "shell/main_window.h"
#include "shell/settings.h"

char CurrentDocumentPath[kMaxDocumentTextLength + 1] = "";
DocumentPages CurrentDocumentPages;

namespace {

// The file whose page is shown; the path last opened may name one that did not load.
std::string ShownFilePath;

void ShowUnreadable(const char* path, HWND mainWindow) {
  const std::string text = "画像を読み込めませんでした．\n" + DocumentName(path);
  MessageBoxA(mainWindow, text.c_str(), "エラー", MB_OK);
}

// The file is loaded beside the current image, which it replaces only once it has loaded: a
// reader's message box lets the user paste or resize meanwhile, which replaces the record.
bool OpenPath(const char* path, HWND mainWindow) {
  ImageBuffer loaded;
  int32_t pageCount = 1;
  const bool opened = LoadImageFilePage(&loaded, path, 0, &pageCount);
  std::strcpy(CurrentDocumentPath, path);  // the folder is browsed on from it all the same
  if (!opened) {
    ShowUnreadable(path, mainWindow);
    return false;
  }
  ReplaceImage(View.image, &loaded);
  SizeWindowToImage();
  ShownFilePath = path;
  CurrentDocumentPages = {0, pageCount};
  SetWindowTextA(mainWindow, DocumentTitle(path, CurrentDocumentPages).c_str());
  ShowDocumentPages(mainWindow);
  return true;
}

// A string value of an open key; false when missing, not text or too long for 512 bytes.
bool ReadRegistryText(HKEY key, const char* name, char out[512]) {
  DWORD type = 0;
  DWORD size = 511;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  out[size] = '\0';
  return true;
}

// Device keys are only read: a request for a device that does not exist must not leave an
// empty key behind.
bool OpenDeviceKey(const std::string& path, REGSAM access, HKEY* key) {
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key) == ERROR_SUCCESS;
}

// Chooses the device's source by its description, or lets the user choose when the device
// has none.
void SelectDeviceSource(const std::string& devicePath, HWND mainWindow) {
  char description[512];
  HKEY key;
  bool found = false;
  if (OpenDeviceKey(devicePath, KEY_READ, &key)) {
    found = ReadRegistryText(key, "DriverDesc", description);
    RegCloseKey(key);
  }
  if (!found) {
    SelectSource(nullptr, mainWindow);
    return;
  }
  SelectSource(description, mainWindow);
  const std::string title = std::string("TWAIN機器:") + description + " Pelora";
  SetWindowTextA(mainWindow, title.c_str());
}

// The event's name from the device's "Events" subkeys; the identifier itself when no subkey
// names it.
std::string EventName(const std::string& devicePath, const std::string& eventId) {
  HKEY events;
  if (!OpenDeviceKey(devicePath + "\\Events", KEY_ENUMERATE_SUB_KEYS, &events)) return eventId;
  std::string name = eventId;
  char subkeyName[512];
  for (DWORD index = 0; RegEnumKeyA(events, index, subkeyName, sizeof subkeyName) == ERROR_SUCCESS;
       ++index) {
    HKEY subkey;
    if (RegOpenKeyExA(events, subkeyName, 0, KEY_READ, &subkey) != ERROR_SUCCESS) continue;
    char guid[512];
    char defaultValue[512];
    bool matched = false;
    if (ReadRegistryText(subkey, "GUID", guid) && lstrcmpiA(guid, eventId.c_str()) == 0) {
      matched = true;
      if (ReadRegistryText(subkey, nullptr, defaultValue) && defaultValue[0] != '\0') {
        name = defaultValue;
      }
    }
    RegCloseKey(subkey);
    if (matched) break;
  }
  RegCloseKey(events);
  return name;
}

void CarryOutEvent(const std::string& devicePath, const std::string& eventId, HWND mainWindow) {
  const std::string name = EventName(devicePath, eventId);
  const EventStep step = StepForEventAction(ReadSettingInt("EVENT", name.c_str(), -1));
  if (step.acquire) {
    Acquire(step.afterScanMode, mainWindow, step.showSourceDialog);
  } else if (step.registerAnew && WriteSettingString("EVENT", name.c_str(), "0")) {
    MessageBoxA(mainWindow, name.c_str(), "イベントを登録しました", MB_OK);
  }
}

bool CarryOutScannerRequest(const char* text, HWND mainWindow) {
  // A request of a scanner button or of a second start must not disturb a scan under way.
  if (RefusedWhileScanning(mainWindow)) return true;
  SetWindowTextA(mainWindow, "TWAIN機器 Pelora");
  const ScannerRequest request = ParseScannerRequest(text);
  if (!request.namesDevice) {
    Acquire(kAfterScanShow, mainWindow, false);
  } else if (request.deviceKey.size() > kMaxDeviceKeyLength) {
    MessageBoxA(mainWindow, "デバイスキーが長すぎます", "エラー", MB_OK);
  } else {
    const std::string devicePath = kDeviceClassPath + request.deviceKey;
    SelectDeviceSource(devicePath, mainWindow);
    if (!request.eventId.empty()) CarryOutEvent(devicePath, request.eventId, mainWindow);
  }
  CurrentDocumentPath[0] = '\0';
  EndDocumentPages(mainWindow);
  return true;
}

}  // namespace

bool OpenDocument(const char* text, HWND mainWindow) {
  if (std::strlen(text) > kMaxDocumentTextLength) {
    ShowPathTooLong(mainWindow);
    return false;
  }
  const bool result = IsScannerRequest(text) ? CarryOutScannerRequest(text, mainWindow)
                                             : OpenPath(text, mainWindow);
  EnableImageMenuItems(mainWindow);
  return result;
}

bool OpenDocumentPage(int step, HWND mainWindow) {
  const int32_t page = SteppedPage(CurrentDocumentPages, step);
  if (page < 0) return false;
  ImageBuffer loaded;
  int32_t pageCount = 1;
  if (!LoadImageFilePage(&loaded, ShownFilePath.c_str(), page, &pageCount)) {
    ShowUnreadable(ShownFilePath.c_str(), mainWindow);
    return false;
  }
  ReplaceImage(View.image, &loaded);
  SizeWindowToImage();
  CurrentDocumentPages = {page, pageCount};
  SetWindowTextA(mainWindow, DocumentTitle(ShownFilePath.c_str(), CurrentDocumentPages).c_str());
  ShowDocumentPages(mainWindow);
  return true;
}

void EndDocumentPages(HWND mainWindow) {
  CurrentDocumentPages = {};
  ShowDocumentPages(mainWindow);
}

void ShowPathTooLong(HWND owner) { MessageBoxA(owner, "パスが長すぎます", "エラー", MB_OK); }
