#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/resource.h"
#include "shell/version.h"
#include "tests/e2e/pelora_driver.h"
#include "tests/e2e/test_printer.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/fixtures/test_plugin_file.h"

namespace {

class Viewer : public ViewerTest {
 protected:
  SIZE FrameSize() const {
    RECT frame;
    GetWindowRect(pelora_.Window(), &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
  }
  // The image pixel shown at the view's top-left corner at 1:1.
  POINT ShownOrigin() const { return CodedPlace(CaptureClient(pelora_.View()).At(0, 0)); }
  void Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    SendMessageA(pelora_.View(), message, wParam, lParam);
    pelora_.Settle();
  }
  // The names FindFirstFileA gives for the folder's loadable images, in its order.
  std::vector<std::string> FolderImages() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(folder_.Path("*.bmp").c_str(), &entry);
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.nFileSizeLow > 0) {
        names.push_back(entry.cFileName);
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
  }
};

// The outer size of a window whose client area is the given size.
SIZE FrameFor(int width, int height) {
  RECT whole = {0, 0, width, height};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  return {whole.right - whole.left, whole.bottom - whole.top};
}

// Puts a one-colour bitmap on the clipboard, or text when `width` is 0.
void PutOnClipboard(int width, int height, uint32_t rgb) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  if (width == 0) {
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    memcpy(GlobalLock(text), "hello", 6);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
  } else {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF));
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    SetClipboardData(CF_BITMAP, bitmap);
  }
  CloseClipboard();
}

bool Near(uint32_t actual, uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    if (abs(static_cast<int>(actual >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) >
        24)
      return false;
  }
  return true;
}

}  // namespace

TEST_F(Viewer, FirstStartAndTheSavedWindow) {
  ASSERT_TRUE(pelora_.Start());
  const SIZE half = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  EXPECT_EQ(FrameSize(), half);
  EXPECT_EQ(pelora_.Title(), "Pelora");
  EXPECT_TRUE(ShowsStartPicture(pelora_));
  // The keys of the start picture's grey items do nothing: no print dialog, nothing copied.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  SetForegroundWindow(pelora_.Window());
  PressKey('P', {VK_CONTROL});
  PressKey('C', {VK_CONTROL});
  EXPECT_EQ(pelora_.WaitForOwnWindow("#32770", 1000), nullptr);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(pelora_.Close(), 0u);
  const std::string ini = pelora_.SettingsPath();
  EXPECT_EQ(SettingsInt(ini, "SeriesSave", "SeriesNo"), 1);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "WinState"), 1);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "FitToWindow"), 0);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "WinRectR") - SettingsInt(ini, "PeloraApp", "WinRectL"),
            half.cx);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "WinRectB") - SettingsInt(ini, "PeloraApp", "WinRectT"),
            half.cy);

  WriteSettings(ini,
                "[PeloraApp]\r\nWinSavePos=1\r\nWinState=1\r\nWinRectL=100\r\nWinRectT=0\r\n"
                "WinRectR=250\r\nWinRectB=500\r\nFitToWindow=1\r\n[SeriesSave]\r\nSeriesNo=7\r\n");
  ASSERT_TRUE(pelora_.Start());
  EXPECT_EQ(FrameSize(), (SIZE{200, 500}));  // raised to the smallest width
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(ini, "SeriesSave", "SeriesNo"), 7);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "FitToWindow"), 1);

  WriteSettings(ini, "[PeloraApp]\r\nWinSavePos=1\r\nWinState=3\r\n");
  ASSERT_TRUE(pelora_.Start());
  EXPECT_TRUE(IsZoomed(pelora_.Window()));
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "WinState"), 3);

  // Without "WinSavePos" the saved fit mode is not used: a large picture shows at 1:1.
  WriteSettings(ini, "[PeloraApp]\r\nWinSavePos=0\r\nFitToWindow=1\r\n");
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("large.bmp", 1200, 900))));
  EXPECT_TRUE(GetWindowLongA(pelora_.View(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(pelora_.Close(), 0u);
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "FitToWindow"), 0);
}

TEST_F(Viewer, OpenStepScrollAndFit) {
  const std::string spaced = WriteCodedImage("my picture.bmp", 300, 200);
  const std::string wide = WriteCodedImage("b.BMP", 2000, 900);
  WriteCodedImage("c.bmp", 260, 60);
  WriteBytes(folder_.Path("notes.txt"), {'x'});
  WriteBytes(folder_.Path("empty.bmp"), {});
  CreateDirectoryA(folder_.Path("folder.bmp").c_str(), nullptr);

  // Unquoted, blanks and all; the window fits the picture.
  ASSERT_TRUE(pelora_.Start(spaced));
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  EXPECT_EQ(FrameSize(), FrameFor(300, 200));
  EXPECT_EQ(ClientSize(), (SIZE{300, 200}));
  EXPECT_EQ(CaptureClient(pelora_.View()).At(5, 7), CodedColor(5, 7));

  // The status bar shows its texts; they are refreshed when it is shown again.
  pelora_.Command(ID_VIEW_STATUSBAR);
  EXPECT_EQ(pelora_.StatusText(0), "Standby ready");
  EXPECT_EQ(pelora_.StatusText(1), "size: 300 x 200");
  EXPECT_EQ(pelora_.StatusText(2), "");
  RECT bar, view;
  GetWindowRect(GetDlgItem(pelora_.Window(), 100), &bar);
  GetWindowRect(pelora_.View(), &view);
  EXPECT_EQ(view.bottom, bar.top);

  // Alt+arrows step through the folder's images as a ring, skipping what does not load.
  const std::vector<std::string> ring = FolderImages();
  ASSERT_EQ(ring.size(), 3u);
  const size_t first = std::find(ring.begin(), ring.end(), "my picture.bmp") - ring.begin();
  SetForegroundWindow(pelora_.Window());
  for (size_t step = 1; step <= ring.size() + 1; ++step) {
    const bool back = step > ring.size();
    PressKey(back ? VK_LEFT : VK_RIGHT, {VK_MENU});
    const std::string expected = ring[(first + (back ? ring.size() - 1 : step)) % ring.size()];
    EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == expected + " - Pelora"; })) << expected;
  }
  pelora_.Command(ID_VIEW_STATUSBAR);
  pelora_.Command(ID_VIEW_STATUSBAR);
  EXPECT_NE(pelora_.StatusText(1), "size: 300 x 200");
  pelora_.Command(ID_VIEW_STATUSBAR);
  GetClientRect(pelora_.Window(), &bar);
  GetClientRect(pelora_.View(), &view);
  EXPECT_EQ(view.bottom, bar.bottom);

  // A second start hands its path to the running window and ends, writing nothing.
  DeleteFileA(pelora_.SettingsPath().c_str());
  PeloraProgram second(folder_);
  ASSERT_TRUE(second.Start(Quoted(wide), false));
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "b.BMP - Pelora"; }));
  EXPECT_EQ(GetForegroundWindow(), pelora_.Window());
  EXPECT_FALSE(FileExists(pelora_.SettingsPath()));
  PeloraProgram third(folder_);
  ASSERT_TRUE(third.Start());  // without a path: a window of its own
  EXPECT_NE(third.Window(), pelora_.Window());
  EXPECT_EQ(third.Close(), 0u);
  pelora_.Settle();

  // A large picture: the window grows to 800 wide at most, the view scrolls.
  EXPECT_EQ(FrameSize().cx, 800);
  EXPECT_EQ(FrameSize().cy, FrameFor(2000, 900).cy < 600 ? FrameFor(2000, 900).cy : 600);
  const struct {
    UINT message;
    WPARAM request;
    LONG x, y;  // the image pixel then at the view's corner
  } scrolls[] = {{WM_HSCROLL, SB_LINERIGHT, 10, 0},
                 {WM_HSCROLL, SB_PAGERIGHT, 90, 0},
                 {WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500), 90, 0},  // only tracking moves
                 {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), 300, 0},
                 {WM_VSCROLL, SB_LINEDOWN, 300, 10},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 300, 26},
                 {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -120), 316, 26},
                 {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT | MK_CONTROL, -120), 316, 42},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 316, 26}};
  for (const auto& s : scrolls) {
    Send(s.message, s.request);
    EXPECT_EQ(ShownOrigin().x, s.x) << s.message << " " << s.request;
    EXPECT_EQ(ShownOrigin().y, s.y) << s.message << " " << s.request;
  }
  // Dragging moves the picture as if held; a move without the button does nothing.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 170));
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(ShownOrigin().x, 366);
  EXPECT_EQ(ShownOrigin().y, 56);
  // Far right the last column shows at the right edge, also after the window grows.
  Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1990));
  EXPECT_EQ(ShownOrigin().x, 2000 - ClientSize().cx);
  SetWindowPos(pelora_.Window(), nullptr, 0, 0, 900, FrameSize().cy, SWP_NOMOVE | SWP_NOZORDER);
  // The repaint may come after the program is idle again, under load.
  EXPECT_TRUE(WaitUntil([&] {
    const ScreenPixels shot = CaptureClient(pelora_.View());
    return CodedPlace(shot.At(shot.width - 1, 0)).x == 1999;
  }));

  // Fit mode shrinks and centres, never enlarges, and needs no bars.
  pelora_.Command(ID_VIEW_FIT);
  CreateDirectoryA(folder_.Path("fit").c_str(), nullptr);
  for (const SIZE size : {SIZE{1600, 300}, SIZE{300, 1500}, SIZE{100, 80}}) {
    const std::string path = folder_.Path("fit\\" + std::to_string(size.cx) + ".bmp");
    ASSERT_TRUE(WriteTestBmp(path, size.cx, size.cy, [](int, int) { return 0x336699u; }));
    OpenByDropping(path);
    const ScreenPixels fitted = CaptureClient(pelora_.View());
    EXPECT_TRUE(ShowsRectangle(
        fitted, FittedPictureRect({size.cx, size.cy}, {fitted.width, fitted.height}), 0x336699))
        << size.cx << "x" << size.cy;
    EXPECT_FALSE(GetWindowLongA(pelora_.View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  }
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Viewer, FilesClipboardAndPrinting) {
  const std::string unixJob = "/tmp/pelora-print-" + std::to_string(GetCurrentProcessId()) + ".ps";
  std::string job = "Z:" + unixJob;
  for (char& c : job) c = c == '/' ? '\\' : c;
  ASSERT_TRUE(InstallTestPrinter(unixJob));
  CopyFileA(BuiltFile("tests\\win\\testplugin.dll").c_str(), folder_.Path("testplugin.dll").c_str(),
            FALSE);
  WriteSettings(pelora_.SettingsPath(), "[spi]\r\n.plgt=testplugin.dll\r\n");
  BmpRecipe recipe;
  recipe.width = 260;
  recipe.height = 90;
  recipe.pixelData = PackRows(260, 90, 24, CodedColor);
  const std::string plugged = folder_.Path("plugged.plgt");
  WriteBytes(plugged, BuildTestPluginFile(TestPluginBehaviour::kDecode, BuildBmp(recipe)));
  const std::string wide = WriteCodedImage("wide.bmp", 1000, 500);

  // A plug-in's picture shows, and counts as an image of the folder.
  ASSERT_TRUE(pelora_.Start(Quoted(plugged)));
  ScreenPixels view = CaptureClient(pelora_.View());
  ASSERT_EQ(view.width, 260);
  EXPECT_EQ(view.At(7, 5), CodedColor(7, 5));
  EXPECT_EQ(view.At(259, 89), CodedColor(259, 89));
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), "wide.bmp - Pelora");
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), "plugged.plgt - Pelora");

  // Printing fills the page's width, or its height, with one page.
  HDC printer = CreateDCA(nullptr, "Pelora Test Printer", nullptr, nullptr);
  const ViewSize printable = {GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};
  DeleteDC(printer);
  for (const ViewSize size : {ViewSize{1000, 500}, ViewSize{500, 1000}}) {
    OpenByDropping(WriteCodedImage(std::to_string(size.width) + ".bmp", size.width, size.height));
    DeleteFileA(job.c_str());
    pelora_.PostCommand(ID_FILE_PRINT);
    ASSERT_TRUE(CloseDialog(pelora_.WaitForOwnWindow("#32770")));
    std::string text;
    EXPECT_TRUE(WaitUntil([&] {
      const std::vector<uint8_t> bytes = ReadBytes(job);
      text.assign(bytes.begin(), bytes.end());
      return text.find("%%EOF") != std::string::npos;
    }));
    EXPECT_NE(text.find("%%Title: PeloraApp"), std::string::npos);
    EXPECT_EQ(text.find("%%Page: 2"), std::string::npos);
    const ViewSize printed = PrintedSize(printable, size);
    const bool wider = size.width > size.height;
    EXPECT_EQ(wider ? printed.width : printed.height, wider ? printable.width : printable.height);
    EXPECT_NE(text.find("0 0 translate\n" + std::to_string(printed.width) + " " +
                        std::to_string(printed.height) + " scale"),
              std::string::npos);
  }
  DeleteFileA(job.c_str());

  // Opened through the dialog, saved through the other as BMP (".bmp" added).
  const std::string picture = WriteCodedImage("chosen.bmp", 70, 30);
  SetForegroundWindow(pelora_.Window());
  PressKey('O', {VK_CONTROL});
  ASSERT_TRUE(AnswerFileDialog(pelora_.WaitForDialog("読み込み"), picture));
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "chosen.bmp - Pelora"; }));
  pelora_.PostCommand(ID_FILE_SAVE_BMP);
  ASSERT_TRUE(AnswerFileDialog(pelora_.WaitForDialog("保存"), folder_.Path("copy")));
  std::vector<uint8_t> expected = ReadBytes(picture);
  for (size_t i = 38; i < 46; ++i) expected[i] = 0;  // the writer leaves the resolution 0
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(folder_.Path("copy.bmp")) == expected; }));

  // A JPEG shows.
  const std::string jpeg = folder_.Path("baseline.jpg");
  CopyFileA(BuiltFile("tests\\win\\pictures\\baseline.jpg").c_str(), jpeg.c_str(), FALSE);
  OpenByDropping(jpeg);
  view = CaptureClient(pelora_.View());
  const ViewRect shown = ActualSizePictureRect({100, 50}, {view.width, view.height});
  EXPECT_TRUE(Near(view.At(shown.left + 10, shown.top + 10), 0xFF0000));
  EXPECT_TRUE(Near(view.At(shown.left + 90, shown.top + 10), 0x0000FF));
  EXPECT_TRUE(Near(view.At(shown.left + 50, shown.top + 45), 0x00FF00));

  // Copy and paste keep every pixel; the window is refitted to the pasted picture. Text on
  // the clipboard pastes nothing.
  OpenByDropping(WriteCodedImage("copied.bmp", 300, 200));
  pelora_.Command(ID_EDIT_COPY);
  OpenByDropping(wide);
  pelora_.Command(ID_EDIT_PASTE);
  EXPECT_EQ(pelora_.Title(), "wide.bmp - Pelora");
  view = CaptureClient(pelora_.View());
  ASSERT_EQ(ClientSize(), (SIZE{300, 200}));
  for (int y = 0; y < 200; y += 13) {
    for (int x = 0; x < 300; x += 7) ASSERT_EQ(view.At(x, y), CodedColor(x, y)) << x << "," << y;
  }
  PutOnClipboard(0, 0, 0);
  pelora_.Command(ID_EDIT_PASTE);
  EXPECT_EQ(CaptureClient(pelora_.View()).At(299, 199), CodedColor(299, 199));

  // Pasted into the image, a picture keeps the image's size.
  for (const auto& [width, height, colour] :
       {std::tuple{100, 50, 0x123456}, {400, 300, 0x654321}}) {
    PutOnClipboard(width, height, colour);
    pelora_.Command(ID_EDIT_PASTE_INTO);
    InvalidateRect(pelora_.View(), nullptr, TRUE);
    pelora_.Settle();
    view = CaptureClient(pelora_.View());
    EXPECT_TRUE(ShowsRectangle(view, {0, 0, std::min(width, 300), std::min(height, 200)}, colour));
    EXPECT_EQ(view.width, 300);
    if (width == 100) {
      EXPECT_EQ(view.At(150, 100), CodedColor(150, 100));
    }
  }
  EXPECT_EQ(view.At(150, 100), 0x654321u);

  // A picture wider than a display bitmap can be is not copied, and the clipboard keeps what
  // it held.
  PutOnClipboard(0, 0, 0);
  BmpRecipe strip;
  strip.width = 1 << 26;
  strip.height = 1;
  strip.bitCount = 8;
  strip.compression = 1;  // run-length coded: nothing but the end of the bitmap
  strip.colorsUsed = 1;
  strip.palette = {0};
  strip.pixelData = {0, 1};
  ASSERT_TRUE(WriteBytes(folder_.Path("strip.bmp"), BuildBmp(strip)));
  OpenByDropping(folder_.Path("strip.bmp"));
  pelora_.PostCommand(ID_EDIT_COPY);
  EXPECT_EQ(pelora_.AnswerMessageBox(),
            "エラー: 画像が大きすぎてクリップボードにコピーできません．");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

  pelora_.PostCommand(ID_HELP_ABOUT);
  EXPECT_EQ(pelora_.AnswerMessageBox(), "About Pelora: Pelora Ver." PELORA_VERSION);
  EXPECT_EQ(pelora_.Close(), 0u);
}
