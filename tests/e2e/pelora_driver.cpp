#include "tests/e2e/pelora_driver.h"

#include <algorithm>
#include <map>

#include <commctrl.h>
#include <shlobj.h>
#include <winspool.h>

#include "shell/print_geometry.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

struct WindowSearch {
  DWORD processId;
  const char* className;
  const char* title;
  HWND exclude;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (owner == search->processId && window != search->exclude && IsWindowVisible(window) &&
      strcmp(className, search->className) == 0 &&
      (search->title == nullptr || WindowText(window) == search->title)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
  char className[16] = "";
  GetClassNameA(child, className, sizeof className);
  if (strcmp(className, "Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

std::string BuiltFile(const std::string& relative) {
  char module[MAX_PATH];
  const std::string self(module, GetModuleFileNameA(nullptr, module, sizeof module));
  return self.substr(0, self.rfind('\\')) + "\\..\\..\\" + relative;  // from tests\e2e
}

ScreenPixels CaptureClient(HWND window) {
  ScreenPixels shot;
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  shot.width = client.right;
  shot.height = client.bottom;
  if (shot.width <= 0 || shot.height <= 0) return shot;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  shot.rgb.assign(pixels, pixels + static_cast<size_t>(shot.width) * shot.height);
  for (uint32_t& p : shot.rgb) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

PeloraProgram::PeloraProgram(const TempFolder& folder) : folder_(folder.Path("")) {
  folder_.pop_back();  // the separator
  CopyFileA(BuiltFile("shell\\Pelora.exe").c_str(), ExePath().c_str(), FALSE);
}

PeloraProgram::~PeloraProgram() {
  if (process_.hProcess == nullptr) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
}

bool PeloraProgram::Start(const std::string& arguments, bool expectWindow) {
  return StartWithCommandLine(Quoted(ExePath()) + " " + arguments, expectWindow);
}

bool PeloraProgram::StartWithCommandLine(std::string commandLine, bool expectWindow) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &startup, &process_)) {
    return false;
  }
  return !expectWindow || WaitForMainWindow();
}

bool PeloraProgram::WaitForMainWindow() {
  window_ = nullptr;  // the window of an earlier start is no other window to skip
  window_ = WaitForOwnWindow("Pelora");
  if (window_ != nullptr) Settle();
  return window_ != nullptr;
}

DWORD PeloraProgram::WaitForExit(DWORD ms) {
  WaitForSingleObject(process_.hProcess, ms);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

DWORD PeloraProgram::Close() {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  return WaitForExit(30000);  // a loaded machine under processor emulation ends slowly
}

void PeloraProgram::Settle() const {
  WaitForInputIdle(process_.hProcess, 5000);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
  // Painting is asked for last: these wait until the program has painted what is pending.
  UpdateWindow(window_);
  UpdateWindow(View());
  Sleep(100);  // the painted pixels reach the screen
}

SIZE PeloraProgram::ViewSize() const {
  RECT client;
  GetClientRect(View(), &client);
  return {client.right, client.bottom};
}

std::string PeloraProgram::StatusText(int part) const {
  HWND bar = FindWindowExA(window_, nullptr, STATUSCLASSNAMEA, nullptr);
  if (bar == nullptr) return "";
  // The bar writes its text into memory of its own process.
  char text[256] = "";
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, process_.dwProcessId);
  void* remote = VirtualAllocEx(process, nullptr, sizeof text, MEM_COMMIT, PAGE_READWRITE);
  const LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0);
  if (LOWORD(length) < sizeof text) {
    SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, text, sizeof text, nullptr);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return text;
}

std::vector<bool> PeloraProgram::MenuTextsBlack(int index) const {
  PostMessageA(window_, WM_SYSCOMMAND, SC_KEYMENU, 0);
  for (int i = 0; i < index; ++i) PostMessageA(window_, WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageA(window_, WM_KEYDOWN, VK_DOWN, 0);
  HWND popup = WaitForOwnWindow("#32768");
  std::vector<bool> black;
  if (popup == nullptr) return black;
  UpdateWindow(popup);  // waits until the menu has painted what is pending
  Sleep(100);           // the painted pixels reach the screen
  const ScreenPixels shot = CaptureClient(popup);
  for (int i = 0; i < 2; ++i) PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(popup); }));
  Settle();
  // Items are bands of rows that differ from the background, taller than separators; the
  // frame is left out.
  std::map<uint32_t, int> counts;
  for (uint32_t c : shot.rgb) ++counts[c];
  const uint32_t background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                return a.second < b.second;
                              })->first;
  int bandTop = -1;
  bool dark = false;
  constexpr int kFrame = 3;
  for (int y = kFrame; y <= shot.height - kFrame; ++y) {
    bool ink = false;
    for (int x = kFrame; y < shot.height - kFrame && x < shot.width - kFrame; ++x) {
      const uint32_t c = shot.At(x, y);
      ink |= c != background;
      dark |= (c >> 16 & 0xFF) < 0x40 && (c >> 8 & 0xFF) < 0x40 && (c & 0xFF) < 0x40;
    }
    if (ink && bandTop < 0) bandTop = y;
    if (!ink) {
      if (bandTop >= 0 && y - bandTop > 4) black.push_back(dark);
      bandTop = -1;
      dark = false;
    }
  }
  return black;
}

void PeloraProgram::Command(UINT id) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window_, WM_COMMAND, id, 0, SMTO_NORMAL, 60000, &result);
  Settle();
}

HWND PeloraProgram::WaitForOwnWindow(const char* className, DWORD ms, const char* title) const {
  WindowSearch search = {process_.dwProcessId, className, title, window_, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      ms);
  return search.found;
}

std::string PeloraProgram::AnswerMessageBox(DWORD ms, const char* caption) const {
  HWND box = WaitForOwnWindow("#32770", ms, caption);
  if (box == nullptr) return "<none>";
  const std::string seen = BoxText(box);
  CloseDialog(box);
  return seen;
}

void PeloraProgram::Drop(const std::string& path) const {
  // The drop's memory block lives in the program, as the shell's would: a DROPFILES header
  // followed by the name and two zeros.
  std::vector<char> block(sizeof(DROPFILES));
  reinterpret_cast<DROPFILES*>(block.data())->pFiles = sizeof(DROPFILES);
  block.insert(block.end(), path.c_str(), path.c_str() + path.size() + 1);
  block.push_back('\0');
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, process_.dwProcessId);
  void* remote =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_TRUE(WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
  CloseHandle(process);
  PostMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

void PeloraProgram::OpenByDropping(const std::string& path) const {
  Drop(path);
  const std::string title = path.substr(path.rfind('\\') + 1) + " - Pelora";
  ASSERT_TRUE(WaitUntil([&] { return Title() == title; })) << Title();
  Settle();
}

std::string BoxText(HWND box) {
  char text[512] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return WindowText(box) + ": " + text;
}

std::string WindowText(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void PressButton(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

bool CloseDialog(HWND dialog, int button) {
  PressButton(dialog, button);
  return WaitUntil([&] { return !IsWindow(dialog); });
}

void ChooseItem(HWND dialog, int combo, int index) {
  SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, combo)));
}

bool AnswerFileDialog(HWND dialog, const std::string& path) {
  // The name field: an edit of its own, or the edit inside the name combo box.
  HWND name = GetDlgItem(dialog, 1152);
  if (name == nullptr) {
    EnumChildWindows(GetDlgItem(dialog, 1148), FindEdit, reinterpret_cast<LPARAM>(&name));
  }
  if (name == nullptr) return false;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressButton(dialog, IDOK);
  return true;
}

void WriteSettings(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

int SettingsInt(const std::string& path, const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path.c_str()));
}

bool WriteTestBmp(const std::string& path, int width, int height,
                  const std::function<uint32_t(int, int)>& colorAt) {
  BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.pixelData = PackRows(width, height, 24, colorAt);
  return WriteBytes(path, BuildBmp(recipe));
}

std::string InstallTestPrinter(const std::string& unixJob) {
  HKEY spooler;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", 0, nullptr, 0,
                  KEY_SET_VALUE, nullptr, &spooler, nullptr);
  RegSetValueExA(spooler, "LPT1:", 0, REG_SZ, reinterpret_cast<const BYTE*>(unixJob.c_str()),
                 static_cast<DWORD>(unixJob.size() + 1));
  RegCloseKey(spooler);
  // The driver takes its page description from the version 3 driver folder.
  char folder[MAX_PATH];
  DWORD size = 0;
  GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder,
                             &size);
  CreateDirectoryA((std::string(folder) + "\\3").c_str(), nullptr);
  const std::string page =
      "*PPD-Adobe: \"4.3\"\n*ColorDevice: True\n*DefaultResolution: 300dpi\n"
      "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
      "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
      "*CloseUI: *PageSize\n*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"18 18 577 824\"\n"
      "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n";
  WriteBytes(std::string(folder) + "\\3\\pelora-test.ppd", {page.begin(), page.end()});
  DRIVER_INFO_3A driver = {};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>("Wine PostScript Driver");
  driver.pDriverPath = driver.pConfigFile = const_cast<char*>("wineps.drv");
  driver.pDataFile = const_cast<char*>("pelora-test.ppd");
  AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
  PRINTER_INFO_2A printer = {};
  printer.pPrinterName = const_cast<char*>("Pelora Test Printer");
  printer.pPortName = const_cast<char*>("LPT1:");
  printer.pDriverName = driver.pName;
  printer.pPrintProcessor = const_cast<char*>("WinPrint");
  printer.pDatatype = const_cast<char*>("RAW");
  HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (added != nullptr) ClosePrinter(added);  // already there from an earlier run: no handle
  SetDefaultPrinterA(printer.pPrinterName);
  std::string job = "Z:" + unixJob;
  std::replace(job.begin(), job.end(), '/', '\\');
  return job;
}

std::string TakePrintJob(const std::string& job) {
  std::string text;
  WaitUntil([&] {
    const std::vector<uint8_t> bytes = ReadBytes(job);
    text.assign(bytes.begin(), bytes.end());
    return text.find("%%EOF") != std::string::npos;
  });
  DeleteFileA(job.c_str());
  return text;
}

std::string PrintedScale(int width, int height) {
  HDC printer = CreateDCA(nullptr, "Pelora Test Printer", nullptr, nullptr);
  const ViewSize printed = PrintedSize(
      {GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)}, {width, height});
  DeleteDC(printer);
  return "0 0 translate\n" + std::to_string(printed.width) + " " + std::to_string(printed.height) +
         " scale";
}
