#pragma once
// Program-wide state that start-up creates and that lasts until the process ends.

#include <windows.h>

#include "shell/view_geometry.h"

struct MainWindowInfo {
  HWND window;
  HWND statusBar;  // none until the bar is first shown
  bool statusBarShown;
};

extern HINSTANCE AppInstance;
extern MainWindowInfo MainWindow;

// The main window's outer size that shows the whole current image: the largest size the user
// may drag the frame to.
extern ViewSize ImageWindowSize;

extern char SeriesFileName[512];
extern int SeriesNumber;
