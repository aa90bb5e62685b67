#include "scan/single_instance.h"

#include <ddeml.h>

#include <cstring>

#include "scan/document_open.h"

namespace {

const char kService[] = "Pelora";
const char kTopic[] = "FILE_OPEN";
const char kItem[] = "FILE_NAME";
constexpr DWORD kPokeTimeoutMs = 10000;

DWORD DdeInstance = 0;
HSZ ServiceName = nullptr;
HSZ TopicName = nullptr;
HCONV Conversation = nullptr;
HWND ServerWindow = nullptr;

bool StringHandleIs(HSZ handle, const char* expected) {
  char text[256];
  DdeQueryStringA(DdeInstance, handle, text, sizeof text, CP_WINANSI);
  return std::strcmp(text, expected) == 0;
}

HDDEDATA OpenPokedText(HDDEDATA data) {
  char text[kMaxDocumentTextLength + 2];
  const DWORD size = DdeGetData(data, nullptr, 0, 0);
  // A text that would not arrive whole is never opened as another, shorter path.
  if (size == 0 || size >= sizeof text) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
  DdeGetData(data, reinterpret_cast<LPBYTE>(text), size, 0);
  text[size] = '\0';
  BringToForeground();
  OpenDocument(text, ServerWindow);
  return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

}  // namespace

bool InitializeDde(HWND mainWindow) {
  ServerWindow = mainWindow;
  if (DdeInitializeA(&DdeInstance, DdeServerCallback, 0, 0) != DMLERR_NO_ERROR) {
    DdeInstance = 0;
    MessageBoxA(mainWindow, "Error: DdeInitialize", "Pelora", MB_OK);
    return false;
  }
  ServiceName = DdeCreateStringHandleA(DdeInstance, kService, CP_WINANSI);
  TopicName = DdeCreateStringHandleA(DdeInstance, kTopic, CP_WINANSI);
  return true;
}

bool TryHandOffToRunningInstance(const char* text) {
  if (DdeInstance == 0) return false;
  Conversation = DdeConnect(DdeInstance, ServiceName, TopicName, nullptr);
  if (DdeGetLastError(DdeInstance) != DMLERR_NO_ERROR || Conversation == nullptr) return false;
  return HandOffToRunningInstance(text);
}

bool HandOffToRunningInstance(const char* text) {
  HSZ item = DdeCreateStringHandleA(DdeInstance, kItem, CP_WINANSI);
  HDDEDATA result = DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(text)),
                                         static_cast<DWORD>(std::strlen(text) + 1), Conversation,
                                         item, CF_TEXT, XTYP_POKE, kPokeTimeoutMs, nullptr);
  if (result != nullptr) {
    DdeFreeStringHandle(DdeInstance, item);
    DdeFreeDataHandle(result);
  } else {
    DdeGetLastError(DdeInstance);
    DdeFreeStringHandle(DdeInstance, item);
  }
  DdeDisconnect(Conversation);
  Conversation = nullptr;
  return true;
}

void RegisterDdeService() {
  if (DdeInstance != 0) DdeNameService(DdeInstance, ServiceName, nullptr, DNS_REGISTER);
}

void UnregisterDdeService() {
  if (DdeInstance != 0) DdeNameService(DdeInstance, ServiceName, nullptr, DNS_UNREGISTER);
}

void ShutDownDde() {
  if (DdeInstance == 0) return;
  DdeFreeStringHandle(DdeInstance, ServiceName);
  DdeFreeStringHandle(DdeInstance, TopicName);
  DdeUninitialize(DdeInstance);
  DdeInstance = 0;
}

HDDEDATA CALLBACK DdeServerCallback(UINT type, UINT, HCONV, HSZ string1, HSZ string2, HDDEDATA data,
                                    ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(StringHandleIs(string2, kService) &&
                                                               StringHandleIs(string1, kTopic)));
    case XTYP_POKE:
      if (StringHandleIs(string2, kItem) && StringHandleIs(string1, kTopic)) {
        return OpenPokedText(data);
      }
      return nullptr;
    default:
      return nullptr;
  }
}

void BringToForeground() {
  HWND window = ServerWindow;
  const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD ownThread = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(ownThread, foregroundThread, TRUE);
  DWORD savedTimeout = 0;
  SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
  SetForegroundWindow(window);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                        reinterpret_cast<void*>(static_cast<ULONG_PTR>(savedTimeout)), 0);
  AttachThreadInput(ownThread, foregroundThread, FALSE);
}
