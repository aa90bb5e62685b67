// Start-up, the message loop and the end of the program.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "scan/document_open.h"
#include "scan/single_instance.h"
#include "shell/app_state.h"
#include "shell/command_line.h"
#include "shell/image_view.h"
#include "shell/main_window.h"
#include "shell/printing.h"
#include "shell/resource.h"
#include "shell/settings.h"

namespace {

constexpr int kMinRestoredWidth = 200;
constexpr int kMinRestoredHeight = 64;

bool RegisterMainClass(HINSTANCE instance) {
  WNDCLASSA mainClass = {};
  mainClass.style = CS_HREDRAW | CS_VREDRAW;
  mainClass.lpfnWndProc = MainWindowProc;
  mainClass.hInstance = instance;
  mainClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PELORA));
  mainClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  mainClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  mainClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
  mainClass.lpszClassName = "Pelora";
  return RegisterClassA(&mainClass) != 0;
}

// Reads the series settings and, when the user asked for it, the saved window state. Gives
// the fit flag.
bool ReadStartSettings(int* showCommand) {
  char seriesFile[512];
  ReadSettingString("SeriesSave", "SeriesFile", "*", seriesFile, sizeof seriesFile);
  if (seriesFile[0] == '*') seriesFile[0] = '\0';
  std::strcpy(SeriesFileName, seriesFile);
  SeriesNumber = ReadSettingInt("SeriesSave", "SeriesNo", 1);

  if (ReadSettingInt("PeloraApp", "WinSavePos", 0) == 0) return false;
  const int state = ReadSettingInt("PeloraApp", "WinState", 0);
  const int left = ReadSettingInt("PeloraApp", "WinRectL", 0);
  const int top = ReadSettingInt("PeloraApp", "WinRectT", 0);
  const int right = ReadSettingInt("PeloraApp", "WinRectR", 0);
  const int bottom = ReadSettingInt("PeloraApp", "WinRectB", 0);
  // A window closed while minimized starts as the system asks.
  if (state == SW_SHOWMAXIMIZED) *showCommand = SW_SHOWMAXIMIZED;
  ImageWindowSize.width = right - left < kMinRestoredWidth ? kMinRestoredWidth : right - left;
  ImageWindowSize.height = bottom - top < kMinRestoredHeight ? kMinRestoredHeight : bottom - top;
  return ReadSettingInt("PeloraApp", "FitToWindow", 0) != 0;
}

void RegisterServiceAndShow(HWND window, int showCommand) {
  RegisterDdeService();
  ShowWindow(window, showCommand);
  UpdateWindow(window);
}

// The text after the program's name. WinMain's own is cut by the runtime, which stops at the
// first byte of a double-byte character and at the first blank of an unquoted path.
const char* CommandLineText() {
  char ownPath[kCommandLineSize];
  const DWORD length = GetModuleFileNameA(nullptr, ownPath, sizeof ownPath);
  if (length == 0 || length >= sizeof ownPath) ownPath[0] = '\0';
  return SkipProgramName(GetCommandLineA(), ownPath);
}

int RunMessageLoop(HWND window, HACCEL accelerators) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(window, accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (!RegisterMainClass(instance)) return 0;
  AppInstance = instance;
  ImageWindowSize = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  const bool fit = ReadStartSettings(&showCommand);

  HWND window = CreateWindowExA(0, "Pelora", "Pelora", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, ImageWindowSize.width, ImageWindowSize.height,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  MainWindow.window = window;
  // Without a view there is nothing to show the picture in.
  if (!CreateImageView(window)) {
    DestroyWindow(window);
    return 0;
  }
  View.fit = fit;
  UpdateScrollBars();
  GrayImageMenuItems(window);
  HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  SetFitMode(fit);
  InitializeDde(window);

  char path[kCommandLineSize];
  if (!UnquoteCommandLine(CommandLineText(), path) || std::strlen(path) > kMaxDocumentTextLength) {
    ShowPathTooLong(window);
    RegisterServiceAndShow(window, showCommand);
  } else if (path[0] == '\0') {
    RegisterServiceAndShow(window, showCommand);
  } else if (TryHandOffToRunningInstance(path)) {
    ShutDownDde();
    DestroyWindow(window);  // never shown; its destruction ends the loop at once
  } else {
    OpenDocument(path, window);
    RegisterServiceAndShow(window, showCommand);
  }
  DragAcceptFiles(window, TRUE);

  const int exitCode = RunMessageLoop(window, accelerators);
  ShutDownDde();
  ReleasePrinterChoice();
  return exitCode;
}
