#pragma once
// Watches the thread that makes it for message boxes, notes each box's caption and text and
// presses its OK button, so that code which shows a message can be tested unattended. The
// watching runs on a thread of its own and goes through the system's window functions.

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
  std::string caption;
  std::string text;
};

class MessageBoxCloser {
 public:
  MessageBoxCloser();
  ~MessageBoxCloser();
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  // The boxes closed so far, oldest first; forgets them.
  std::vector<SeenMessageBox> TakeSeen();

 private:
  static DWORD WINAPI Watch(void* self);
  static BOOL CALLBACK CloseIfMessageBox(HWND window, LPARAM self);

  DWORD watchedThread_;
  HANDLE stop_;
  HANDLE watcher_;
  CRITICAL_SECTION lock_;
  std::vector<SeenMessageBox> seen_;
  std::vector<HWND> closed_;
};
