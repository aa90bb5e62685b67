#include "scan/twain.h"

#include <cstring>

#include "core/bmp_format.h"
#include "core/dib_conversion.h"
#include "core/image_buffer.h"
#include "core/resolution.h"
#include "scan/after_scan_mode.h"
#include "scan/twain_protocol.h"
#include "shell/image_view.h"
#include "shell/resource.h"

namespace {

using SourceManagerEntry = uint16_t(WINAPI*)(TwIdentity* origin, TwIdentity* destination,
                                             uint32_t group, uint16_t type, uint16_t message,
                                             void* data);

constexpr int kNoSourceManager = 1;
constexpr int kSourceManagerOpen = 3;
constexpr int kSourceEnabled = 5;
// The source raised an event that the main window takes up from its queue: it is fed no more.
constexpr int kSourceEventRaised = 6;

struct TwainSessionRecord {
  int SessionState = kNoSourceManager;
  HMODULE library = nullptr;
  SourceManagerEntry entry = nullptr;
  HWND parent = nullptr;
  TwIdentity AppIdentity = {};
  TwIdentity SourceIdentity = {};
  TwUserInterface userInterface = {};
  int AfterScanMode = 0;
  HHOOK messageHook = nullptr;      // feeds the source while it is enabled
  uint16_t sourceEvent = MSG_NULL;  // MSG_XFERREADY or MSG_CLOSEDSREQ, once raised
  // Calls into the source manager under way. It may run a dialog of its own meanwhile, whose
  // loop dispatches our messages: nothing may call it again, feed the source or unload it.
  int callsUnderWay = 0;
};

TwainSessionRecord TwainSession;

uint16_t CallSourceManager(TwIdentity* destination, uint32_t group, uint16_t type, uint16_t message,
                           void* data) {
  if (TwainSession.entry == nullptr) return TWRC_FAILURE;
  ++TwainSession.callsUnderWay;
  const uint16_t result =
      TwainSession.entry(&TwainSession.AppIdentity, destination, group, type, message, data);
  --TwainSession.callsUnderWay;
  return result;
}

uint16_t CallSource(uint32_t group, uint16_t type, uint16_t message, void* data) {
  return CallSourceManager(&TwainSession.SourceIdentity, group, type, message, data);
}

void FillAppIdentity(TwIdentity* identity) {
  *identity = {};
  identity->Version.MinorNum = 39;
  identity->Version.Language = 68;
  identity->Version.Country = 81;
  CopyTwString(identity->Version.Info, "Pelo 0.4  03/17/2003");
  identity->ProtocolMajor = 1;
  identity->ProtocolMinor = 8;
  identity->SupportedGroups = DF_CONTROL_AND_IMAGE;
  CopyTwString(identity->Manufacturer, "Zanto");
  CopyTwString(identity->ProductFamily, "PeloraApp");
  CopyTwString(identity->ProductName, "Pelorex");
}

void UnloadSourceManager() {
  FreeLibrary(TwainSession.library);
  TwainSession.library = nullptr;
  TwainSession.entry = nullptr;
}

void ShowTransferMessage(const char* text) {
  MessageBoxA(TwainSession.parent, text, "TWAIN(Pelo)", MB_OK);
}

// Converts a packed DIB (of any depth, palette length, masks or row order) into a new 24-bit
// image that replaces the target's only when the whole conversion worked.
bool ConvertPackedDib(const uint8_t* bytes, size_t length, ImageBuffer* target) {
  BmpLayout layout;
  if (!ParsePackedDib(bytes, length, &layout)) return false;
  const DibHeader& header = layout.info.header;
  const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  ImageBuffer fresh;
  if (!CreateImageBuffer(&fresh, header.biWidth, 0, height)) return false;
  if (!DrawDibInto(layout.info, bytes + layout.pixelOffset, fresh.memoryDC, &fresh)) return false;
  fresh.dpiX = DotsPerInchFromPelsPerMeter(header.biXPelsPerMeter);
  fresh.dpiY = DotsPerInchFromPelsPerMeter(header.biYPelsPerMeter);
  ReplaceImage(target, &fresh);
  return true;
}

// The resolution the source says it scans at (ICAP_XRESOLUTION or ICAP_YRESOLUTION); 0 when
// it does not say.
int32_t SourceResolution(uint16_t capability) {
  TwCapability query = {capability, TWON_ONEVALUE, nullptr};
  if (CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &query) != TWRC_SUCCESS ||
      query.hContainer == nullptr) {
    return 0;
  }
  int32_t dpi = 0;
  const auto* value = static_cast<const TwOneValue*>(GlobalLock(query.hContainer));
  if (value != nullptr && query.ConType == TWON_ONEVALUE &&
      GlobalSize(query.hContainer) >= sizeof(TwOneValue)) {
    dpi = DotsPerInchFromOneValue(*value);
  }
  if (value != nullptr) GlobalUnlock(query.hContainer);
  GlobalFree(query.hContainer);
  return dpi;
}

// Takes one image from the source; true when it replaced the target image.
bool TransferNativeImage() {
  HGLOBAL handle = nullptr;
  const uint16_t result = CallSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
  bool arrived = false;
  if (result == TWRC_FAILURE) {
    ShowTransferMessage("転送エラー");
  } else if (result == TWRC_CANCEL) {
    ShowTransferMessage("キャンセルされました");
  } else if (result == TWRC_XFERDONE && handle != nullptr) {
    const void* bytes = GlobalLock(handle);
    if (bytes != nullptr) {
      // Paste and resize replace the current image while a scan runs: the page goes into
      // whatever is current now.
      arrived =
          ConvertPackedDib(static_cast<const uint8_t*>(bytes), GlobalSize(handle), View.image);
      GlobalUnlock(handle);
    }
    // A bitmap that cannot be read is a failed transfer; the old image stays.
    if (!arrived) ShowTransferMessage("転送エラー");
    // A bitmap that does not tell its resolution has the one the source scanned at.
    if (arrived && View.image->dpiX == 0 && View.image->dpiY == 0) {
      View.image->dpiX = SourceResolution(ICAP_XRESOLUTION);
      View.image->dpiY = SourceResolution(ICAP_YRESOLUTION);
    }
  }
  if (handle != nullptr) GlobalFree(handle);
  return arrived;
}

// Ends the transfer just made; true when the source has more pages waiting.
bool EndTransfer() {
  TwPendingXfers pending = {};
  if (CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS) {
    return false;
  }
  return pending.Count != 0;
}

void DiscardPendingPages() {
  TwPendingXfers pending = {};
  CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}

// Takes the pages the source has ready. Only a series save wants more than one: it is sent
// each page at once, the last too, and `whole` tells whether the batch came to its end with
// every page saved. Otherwise the first page is taken and the rest discarded. True when a
// page is still to be announced.
bool TransferPages(bool* whole) {
  const bool series = TwainSession.AfterScanMode == kAfterScanSeriesSave;
  for (;;) {
    const bool arrived = TransferNativeImage();
    const bool morePages = EndTransfer();
    // A page that could not be saved stays shown: the next one must not take its place.
    const bool saved =
        arrived && series &&
        SendMessageA(TwainSession.parent, WM_COMMAND, ID_SCAN_COMPLETE, kAfterScanSeriesSave) != 0;
    *whole = saved && !morePages;
    if (!morePages) return arrived && !series;
    if (!saved) {
      DiscardPendingPages();
      return arrived && !series;
    }
  }
}

void CloseSource() {
  UnhookWindowsHookEx(TwainSession.messageHook);
  TwainSession.messageHook = nullptr;
  TwainSession.SessionState = kSourceManagerOpen;
  CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &TwainSession.userInterface);
  CallSourceManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &TwainSession.SourceIdentity);
}

void EndAcquisition() {
  CloseSource();
  if (TwainSession.library != nullptr) CloseSourceManager();
}

// True when the message was an event of the enabled source and is finished. What the source
// asks for runs message boxes and dialogs of its own: the main window takes it up later.
bool TwainFilterMessage(MSG* message) {
  if (TwainSession.SessionState != kSourceEnabled) return false;
  TwEvent event = {message, MSG_NULL};
  const uint16_t result = CallSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
  if (event.TWMessage == MSG_XFERREADY || event.TWMessage == MSG_CLOSEDSREQ) {
    TwainSession.SessionState = kSourceEventRaised;
    TwainSession.sourceEvent = event.TWMessage;
    PostMessageA(TwainSession.parent, WM_COMMAND, ID_SOURCE_EVENT, 0);
  }
  return result == TWRC_DSEVENT;
}

// Every message the thread takes from its queue, in the main loop or in the loop of a dialog,
// message box or menu, goes to the enabled source first, unless it is taken inside a call of
// the source manager; what was the source's own is handled no further.
LRESULT CALLBACK FeedSource(int code, WPARAM removal, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && TwainSession.callsUnderWay == 0 &&
      TwainFilterMessage(message)) {
    message->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

void ShowBusy(HWND owner) {
  MessageBoxA(owner, "スキャン中です．終わってからもう一度操作してください．", "TWAIN(Pelo)",
              MB_OK);
}

}  // namespace

bool OpenSourceManager(HWND parent) {
  TwainSession.parent = parent;
  if (TwainSession.library == nullptr) {
    TwainSession.library = LoadLibraryA("TWAIN_32.DLL");
    if (TwainSession.library == nullptr) return false;
    TwainSession.entry = reinterpret_cast<SourceManagerEntry>(
        reinterpret_cast<void*>(GetProcAddress(TwainSession.library, MAKEINTRESOURCEA(1))));
    if (TwainSession.entry == nullptr) {
      UnloadSourceManager();
      return false;
    }
  }
  TwainSession.SourceIdentity.Id = 0;
  std::memset(TwainSession.SourceIdentity.ProductName, 0,
              sizeof TwainSession.SourceIdentity.ProductName);
  FillAppIdentity(&TwainSession.AppIdentity);
  if (CallSourceManager(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &TwainSession.parent) !=
      TWRC_SUCCESS) {
    UnloadSourceManager();
    return false;
  }
  TwainSession.SessionState = kSourceManagerOpen;
  return true;
}

bool CloseSourceManager() {
  if (TwainSession.library == nullptr) return false;
  // The window may close while a source is enabled; the manager only closes without one.
  if (TwainSession.SessionState >= kSourceEnabled) CloseSource();
  if (CallSourceManager(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &TwainSession.parent) !=
      TWRC_SUCCESS) {
    return false;
  }
  UnloadSourceManager();
  TwainSession.SessionState = kNoSourceManager;
  return true;
}

bool RefusedWhileScanning(HWND owner) {
  if (TwainSession.SessionState < kSourceEnabled && TwainSession.callsUnderWay == 0) return false;
  ShowBusy(owner);
  return true;
}

bool RefusedDuringSourceManagerCall(HWND owner) {
  if (TwainSession.callsUnderWay == 0) return false;
  ShowBusy(owner);
  return true;
}

void TakeUpSourceEvent() {
  // The window may have closed the session meanwhile. No call of the source manager is under
  // way here: the event is raised between calls, and from then on every request is refused.
  if (TwainSession.SessionState != kSourceEventRaised) return;
  if (TwainSession.sourceEvent == MSG_CLOSEDSREQ) {
    EndAcquisition();
    return;
  }
  bool whole = false;
  const bool arrived = TransferPages(&whole);
  EndAcquisition();
  // Only a new image is shown, printed or saved; a failed transfer leaves the old one be.
  if (arrived) {
    PostMessageA(TwainSession.parent, WM_COMMAND, ID_SCAN_COMPLETE, TwainSession.AfterScanMode);
  }
  if (TwainSession.AfterScanMode == kAfterScanSeriesSave) {
    SendMessageA(TwainSession.parent, WM_COMMAND, ID_SCAN_BATCH_END, whole ? 1 : 0);
  }
}

bool SelectSource(const char* productName, HWND parent) {
  if (RefusedWhileScanning(parent)) return false;
  if (TwainSession.SessionState == kNoSourceManager) OpenSourceManager(parent);
  TwIdentity chosen = {};
  if (CallSourceManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &chosen) !=
      TWRC_SUCCESS) {
    return false;
  }
  if (productName != nullptr) {
    CopyTwString(TwainSession.SourceIdentity.ProductName, productName);
    TwainSession.SourceIdentity.Id = 0;
    return true;
  }
  if (CallSourceManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &chosen) !=
      TWRC_SUCCESS) {
    return false;
  }
  TwainSession.SourceIdentity = chosen;
  return true;
}

void Acquire(int afterScanMode, HWND parent, bool showSourceDialog) {
  if (RefusedWhileScanning(parent)) return;
  TwainSession.AfterScanMode = afterScanMode;
  if (TwainSession.SessionState == kNoSourceManager) OpenSourceManager(parent);
  if (CallSourceManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS,
                        &TwainSession.SourceIdentity) != TWRC_SUCCESS) {
    return;
  }
  TwainSession.userInterface.ShowUI = showSourceDialog ? 1 : 0;
  TwainSession.userInterface.ModalUI = showSourceDialog ? 1 : 0;
  TwainSession.userInterface.hParent = TwainSession.parent;
  const uint16_t enabled =
      CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &TwainSession.userInterface);
  // A source that cannot work without its dialog shows it all the same and answers
  // TWRC_CHECKSTATUS: it is enabled too.
  if (enabled != TWRC_SUCCESS && enabled != TWRC_CHECKSTATUS) {
    // Nothing will ever arrive from a source that is not enabled: close it again.
    CallSourceManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &TwainSession.SourceIdentity);
    return;
  }
  TwainSession.SessionState = kSourceEnabled;
  TwainSession.messageHook =
      SetWindowsHookExA(WH_GETMESSAGE, FeedSource, nullptr, GetCurrentThreadId());
}
