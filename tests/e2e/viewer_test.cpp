#include <gtest/gtest.h>

#include <set>

#include "shell/resource.h"
#include "shell/view_geometry.h"
#include "tests/e2e/pelora_driver.h"

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
};

// The outer size of a window whose client area is the given size.
SIZE FrameFor(int width, int height) {
  RECT whole = {0, 0, width, height};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  return {whole.right - whole.left, whole.bottom - whole.top};
}

// True when every pixel of `rect` is `color` and the pixels just around it are not.
bool ShowsRectangle(const ScreenPixels& shot, ViewRect rect, uint32_t color) {
  for (int y = rect.top; y < rect.top + rect.height; ++y) {
    for (int x = rect.left; x < rect.left + rect.width; ++x) {
      if (shot.At(x, y) != color) return false;
    }
  }
  auto outsideDiffers = [&](int x, int y) {
    return x < 0 || y < 0 || x >= shot.width || y >= shot.height || shot.At(x, y) != color;
  };
  return outsideDiffers(rect.left - 1, rect.top) && outsideDiffers(rect.left, rect.top - 1) &&
         outsideDiffers(rect.left + rect.width, rect.top + rect.height - 1) &&
         outsideDiffers(rect.left + rect.width - 1, rect.top + rect.height);
}

}  // namespace

TEST_F(Viewer, OpenStepHandOverScrollFitAndTheSavedWindow) {
  const std::string spaced = WriteCodedImage("my picture.bmp", 300, 200);
  const std::string wide = WriteCodedImage("b.BMP", 2000, 900);
  WriteCodedImage("c.bmp", 260, 60);
  WriteBytes(folder_.Path("empty.bmp"), {});
  CreateDirectoryA(folder_.Path("folder.bmp").c_str(), nullptr);

  // Unquoted, blanks and all; the window fits the picture, the view fills its client area.
  ASSERT_TRUE(pelora_.Start(spaced));
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  EXPECT_EQ(FrameSize(), FrameFor(300, 200));
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{300, 200}));
  RECT view;
  POINT client = {0, 0};
  GetWindowRect(pelora_.View(), &view);
  ClientToScreen(pelora_.Window(), &client);
  EXPECT_EQ(view.left, client.x);
  EXPECT_EQ(view.top, client.y);
  EXPECT_EQ(CaptureClient(pelora_.View()).At(5, 7), CodedColor(5, 7));

  // Stepping goes round the folder's three loadable images; stepping back undoes a step.
  std::set<std::string> seen;
  std::string previous;
  for (int step = 0; step < 3; ++step) {
    previous = pelora_.Title();
    pelora_.Command(ID_FILE_NEXT);
    seen.insert(pelora_.Title());
  }
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  pelora_.Command(ID_FILE_PREV);
  EXPECT_EQ(pelora_.Title(), previous);

  // A second start hands its path to the running window and ends, writing nothing.
  DeleteFileA(pelora_.SettingsPath().c_str());
  PeloraProgram second(folder_);
  ASSERT_TRUE(second.Start(Quoted(wide), false));
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "b.BMP - Pelora"; }));
  EXPECT_FALSE(FileExists(pelora_.SettingsPath()));
  pelora_.Settle();

  // A large picture: the window grows to 800 wide at most, the view scrolls.
  EXPECT_EQ(FrameSize().cx, 800);
  const struct {
    UINT message;
    WPARAM request;
    LONG x, y;  // the image pixel then at the view's corner
  } scrolls[] = {{WM_HSCROLL, SB_LINERIGHT, 10, 0},
                 {WM_HSCROLL, SB_PAGERIGHT, 90, 0},
                 {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), 300, 0},
                 {WM_VSCROLL, SB_LINEDOWN, 300, 10},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 300, 26},
                 {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -120), 316, 26}};
  for (const auto& s : scrolls) {
    Send(s.message, s.request);
    EXPECT_EQ(ShownOrigin().x, s.x) << s.message << " " << s.request;
    EXPECT_EQ(ShownOrigin().y, s.y) << s.message << " " << s.request;
  }
  // Dragging moves the picture as if held.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 170));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(150, 170));
  EXPECT_EQ(ShownOrigin().x, 366);
  EXPECT_EQ(ShownOrigin().y, 56);
  // Far right the last column shows at the right edge, also after the window grows.
  Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1990));
  EXPECT_EQ(ShownOrigin().x, 2000 - pelora_.ViewSize().cx);
  SetWindowPos(pelora_.Window(), nullptr, 0, 0, 900, FrameSize().cy, SWP_NOMOVE | SWP_NOZORDER);
  // The repaint may come after the program is idle again, under load.
  EXPECT_TRUE(WaitUntil([&] {
    const ScreenPixels shot = CaptureClient(pelora_.View());
    return CodedPlace(shot.At(shot.width - 1, 0)).x == 1999;
  }));

  // Fit mode shrinks and centres, and needs no bars.
  pelora_.Command(ID_VIEW_FIT);
  const std::string flat = folder_.Path("flat.bmp");
  ASSERT_TRUE(WriteTestBmp(flat, 1600, 300, [](int, int) { return 0x336699u; }));
  pelora_.OpenByDropping(flat);
  const ScreenPixels fitted = CaptureClient(pelora_.View());
  EXPECT_TRUE(ShowsRectangle(fitted, FittedPictureRect({1600, 300}, {fitted.width, fitted.height}),
                             0x336699));
  EXPECT_FALSE(GetWindowLongA(pelora_.View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(pelora_.Close(), 0u);
  const std::string ini = pelora_.SettingsPath();
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "FitToWindow"), 1);

  // The saved window comes back, raised to the smallest width, or maximized.
  WriteSettings(ini,
                "[PeloraApp]\r\nWinSavePos=1\r\nWinState=1\r\nWinRectL=100\r\nWinRectT=0\r\n"
                "WinRectR=250\r\nWinRectB=500\r\n");
  ASSERT_TRUE(pelora_.Start());
  EXPECT_EQ(FrameSize(), (SIZE{200, 500}));
  EXPECT_EQ(pelora_.Close(), 0u);
  WritePrivateProfileStringA("PeloraApp", "WinState", "3", ini.c_str());
  ASSERT_TRUE(pelora_.Start());
  EXPECT_TRUE(IsZoomed(pelora_.Window()));
  EXPECT_EQ(pelora_.Close(), 0u);
}
