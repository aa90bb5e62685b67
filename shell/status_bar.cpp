#include "shell/status_bar.h"

#include <windows.h>
#include <commctrl.h>

#include "shell/app_state.h"
#include "shell/image_view.h"
#include "shell/main_window.h"
#include "shell/resource.h"
#include "shell/screen_scale.h"

namespace {

std::string PageText;

}  // namespace

void ShowStatusBar(bool show) {
  if (show) {
    if (MainWindow.statusBar == nullptr) {
      InitCommonControls();
      MainWindow.statusBar =
          CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, nullptr,
                              MainWindow.window, IDC_STATUS_BAR);
    }
    if (MainWindow.statusBar != nullptr) ShowWindow(MainWindow.statusBar, SW_SHOW);
  } else if (MainWindow.statusBar != nullptr) {
    ShowWindow(MainWindow.statusBar, SW_HIDE);
  }
  MainWindow.statusBarShown = show;
  UpdateStatusTexts();
  LayOutViewInClientArea();
  RedrawWindow(MainWindow.window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void UpdateStatusTexts() {
  HWND bar = MainWindow.statusBar;
  if (bar == nullptr) return;
  int edges[3] = {ScaleToScreen(bar, 100), ScaleToScreen(bar, 300), ScaleToScreen(bar, 500)};
  SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Standby ready"));
  char size[64];
  const ImageBuffer* image = View.image;
  wsprintfA(size, "size: %d x %d", image->width, image->height);
  SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(size));
  SendMessageA(bar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(PageText.c_str()));
}

void ShowStatusPage(const std::string& text) {
  PageText = text;
  if (MainWindow.statusBar != nullptr) {
    SendMessageA(MainWindow.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(PageText.c_str()));
  }
}

int StatusBarHeight() {
  if (!MainWindow.statusBarShown || MainWindow.statusBar == nullptr) return 0;
  RECT bar;
  GetWindowRect(MainWindow.statusBar, &bar);
  return bar.bottom - bar.top;
}
