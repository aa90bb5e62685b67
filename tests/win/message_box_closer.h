#pragma once
// Presses OK on every message box that the thread which makes this shows, noting each box as
// "caption: text", so that code which shows a message can be tested unattended.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class MessageBoxCloser {
 public:
  MessageBoxCloser() : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
    seen_ = &boxes_;
  }
  ~MessageBoxCloser() { UnhookWindowsHookEx(hook_); }
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  // The boxes closed so far, oldest first; forgets them.
  std::vector<std::string> TakeSeen() { return std::exchange(boxes_, {}); }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const HWND box = reinterpret_cast<HWND>(wParam);
    char className[16] = "", caption[256] = "", text[512] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
        lstrcmpA(className, "#32770") == 0) {
      GetWindowTextA(box, caption, sizeof caption);
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
      seen_->push_back(std::string(caption) + ": " + text);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline std::vector<std::string>* seen_ = nullptr;
  HHOOK hook_;
  std::vector<std::string> boxes_;
};
