#include "tests/win/message_box_closer.h"

namespace {

constexpr DWORD kPollMilliseconds = 20;
constexpr UINT kTextTimeoutMilliseconds = 2000;

// Reads a window's text without waiting forever on its thread.
std::string TextOf(HWND window) {
  char text[512] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, kTextTimeoutMilliseconds, &copied);
  return text;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM out) {
  char className[32];
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") == 0) {
    const std::string text = TextOf(child);
    if (!text.empty()) *reinterpret_cast<std::string*>(out) = text;
  }
  return TRUE;
}

}  // namespace

MessageBoxCloser::MessageBoxCloser()
    : watchedThread_(GetCurrentThreadId()), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  InitializeCriticalSection(&lock_);
  watcher_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

MessageBoxCloser::~MessageBoxCloser() {
  SetEvent(stop_);
  WaitForSingleObject(watcher_, INFINITE);
  CloseHandle(watcher_);
  CloseHandle(stop_);
  DeleteCriticalSection(&lock_);
}

std::vector<SeenMessageBox> MessageBoxCloser::TakeSeen() {
  EnterCriticalSection(&lock_);
  std::vector<SeenMessageBox> seen;
  seen.swap(seen_);
  LeaveCriticalSection(&lock_);
  return seen;
}

DWORD WINAPI MessageBoxCloser::Watch(void* self) {
  auto* closer = static_cast<MessageBoxCloser*>(self);
  while (WaitForSingleObject(closer->stop_, kPollMilliseconds) == WAIT_TIMEOUT) {
    EnumThreadWindows(closer->watchedThread_, CloseIfMessageBox, reinterpret_cast<LPARAM>(self));
  }
  return 0;
}

BOOL CALLBACK MessageBoxCloser::CloseIfMessageBox(HWND window, LPARAM self) {
  auto* closer = reinterpret_cast<MessageBoxCloser*>(self);
  char className[32];
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  for (HWND closed : closer->closed_) {
    if (closed == window) return TRUE;
  }
  SeenMessageBox box;
  box.caption = TextOf(window);
  EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&box.text));
  // A box whose thread was too busy to answer is read again on the next round.
  if (box.caption.empty() || box.text.empty()) return TRUE;
  EnterCriticalSection(&closer->lock_);
  closer->seen_.push_back(box);
  LeaveCriticalSection(&closer->lock_);
  closer->closed_.push_back(window);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
  return TRUE;
}
