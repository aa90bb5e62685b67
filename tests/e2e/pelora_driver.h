#pragma once
// Starts Pelora.exe as a user would and looks at it from outside: its windows, title,
// settings file and the pixels it puts on the screen.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/win/host_commands.h"
#include "tests/win/temp_folder.h"

// What the screen shows of a window's client area, 0xRRGGBB per pixel.
struct ScreenPixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

ScreenPixels CaptureClient(HWND window);

// The path of a file the build made, given from the build's top folder (such as
// "shell\\Pelora.exe"), so that the tests always run what was built last.
std::string BuiltFile(const std::string& relative);

// Waits until `done` holds, up to `ms` milliseconds; true when it did.
template <typename Condition>
bool WaitUntil(Condition done, DWORD ms = 10000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  return true;
}

// A copy of Pelora.exe in a folder of its own (so its settings file is its own), started and
// stopped by the test.
std::string WindowText(HWND window);

class PeloraProgram {
 public:
  explicit PeloraProgram(const TempFolder& folder);
  // The Pelora.exe that already lies in `folder`.
  explicit PeloraProgram(const std::string& folder) : folder_(folder) {}
  ~PeloraProgram();
  PeloraProgram(const PeloraProgram&) = delete;
  PeloraProgram& operator=(const PeloraProgram&) = delete;

  // Starts the program with the given command-line text (after the program name) and, unless
  // `expectWindow` is false, waits until its main window shows and it is idle.
  bool Start(const std::string& arguments = "", bool expectWindow = true);
  // The same with the whole command line, program name included, exactly as given.
  bool StartWithCommandLine(std::string commandLine, bool expectWindow = true);
  bool WaitForMainWindow();
  // Waits for the process to end; its exit code, or STILL_ACTIVE.
  DWORD WaitForExit(DWORD ms = 10000);
  // Closes the main window as the close box does and waits for the process to end.
  DWORD Close();
  // Lets the program handle what it has been sent and paint; returns once it answers again.
  void Settle() const;

  HWND Window() const { return window_; }
  HWND View() const { return FindWindowExA(window_, nullptr, "PeloraImage", nullptr); }
  std::string Title() const { return WindowText(window_); }
  std::string SettingsPath() const { return folder_ + "\\Pelora.ini"; }
  std::string ExePath() const { return folder_ + "\\Pelora.exe"; }
  // The client size of the view.
  SIZE ViewSize() const;
  // The text of a part of the status bar; empty while there is no bar.
  std::string StatusText(int part) const;
  // Opens menu `index` of the menu bar from the keyboard, closes it again and tells for each
  // item under it, from the top, whether its text shows black. The menu is looked at on the
  // screen: Wine answers no questions about another process's menus. Grey items and the one
  // the keyboard has marked read false.
  std::vector<bool> MenuTextsBlack(int index) const;

  // Runs a command as the menu does and waits until it has been handled.
  void Command(UINT id) const;
  // Starts a command that opens a dialog; returns without waiting for it.
  void PostCommand(UINT id) const { PostMessageA(window_, WM_COMMAND, id, 0); }
  // The first visible top-level window of the program with this class other than the main
  // window ("#32770" for dialogs and message boxes) and, unless null, this title.
  HWND WaitForOwnWindow(const char* className, DWORD ms = 10000, const char* title = nullptr) const;
  HWND WaitForDialog(const char* title) const { return WaitForOwnWindow("#32770", 10000, title); }
  // Waits for a message box of the program (with this caption, unless null) and answers it;
  // gives "caption: text", or "<none>" when none shows in time.
  std::string AnswerMessageBox(DWORD ms = 10000, const char* caption = nullptr) const;
  // Drops the file on the window as the shell does.
  void Drop(const std::string& path) const;
  // Drops the file and waits until it has been opened.
  void OpenByDropping(const std::string& path) const;

 private:
  std::string folder_;
  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

// "caption: text" of a message box.
std::string BoxText(HWND box);
// Presses a button of a dialog as a click does (posted: it may answer with a message box).
void PressButton(HWND dialog, int button);
// Presses OK, or `button`, and waits until the dialog has closed.
bool CloseDialog(HWND dialog, int button = IDOK);
// Chooses entry `index` of a combo box as the user does, telling the dialog.
void ChooseItem(HWND dialog, int combo, int index);
// Types a file name into a common file dialog and confirms it.
bool AnswerFileDialog(HWND dialog, const std::string& path);


void WriteSettings(const std::string& path, const std::string& text);
int SettingsInt(const std::string& path, const char* section, const char* key, int fallback = -1);

// Writes a 24-bit BMP of the given size whose pixel (x, y) is colorAt(x, y) (0xRRGGBB).
bool WriteTestBmp(const std::string& path, int width, int height,
                  const std::function<uint32_t(int, int)>& colorAt);

// The colour of pixel (x, y) in the pictures the tests write: every pixel tells its place.
inline uint32_t CodedColor(int x, int y) {
  return uint32_t(x & 0xFF) << 16 | uint32_t((x >> 8 & 0xF) | (y >> 8 & 0xF) << 4) << 8 |
         uint32_t(y & 0xFF);
}
// The place a coded colour tells.
inline POINT CodedPlace(uint32_t c) {
  return {static_cast<LONG>((c >> 16) | (c >> 8 & 0xF) << 8),
          static_cast<LONG>((c & 0xFF) | (c >> 12 & 0xF) << 8)};
}

inline bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Makes Wine's PostScript driver, with an A4 page of our own, the default printer, its jobs
// written to `unixJob`; gives the job's path as Windows names it.
std::string InstallTestPrinter(const std::string& unixJob);
// Waits until a whole job has been written to `job` and takes it away; gives its text.
std::string TakePrintJob(const std::string& job);
// What a job says when a picture of `size` fills the test printer's page as far as it can.
std::string PrintedScale(int width, int height);

// A folder and a program copy of each test's own.
class ViewerTest : public ::testing::Test {
 protected:
  // Writes a picture of coded colours into the test's folder; gives its path.
  std::string WriteCodedImage(const std::string& name, int width, int height) {
    WriteTestBmp(folder_.Path(name), width, height, CodedColor);
    return folder_.Path(name);
  }

  TempFolder folder_;
  PeloraProgram pelora_{folder_};
};
