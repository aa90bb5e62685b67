#include <gtest/gtest.h>

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

}  // namespace

TEST_F(Viewer, OpenStepScrollFitAndTheSavedWindow) {
  const std::string spaced = WriteCodedImage("my picture.bmp", 300, 200);
  const std::string wide = WriteCodedImage("b.BMP", 2000, 900);
  WriteCodedImage("c.bmp", 260, 60);

  // Unquoted, blanks and all; the window fits the picture, the view fills its client area.
  ASSERT_TRUE(pelora_.Start(spaced));
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  EXPECT_EQ(FrameSize(), FrameFor(300, 200));
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{300, 200}));
  POINT corner = {0, 0};
  MapWindowPoints(pelora_.View(), pelora_.Window(), &corner, 1);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 0);
  EXPECT_EQ(CaptureClient(pelora_.View()).At(5, 7), CodedColor(5, 7));

  // Of three pictures in the folder, a step back undoes a step.
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_NE(pelora_.Title(), "my picture.bmp - Pelora");
  pelora_.Command(ID_FILE_PREV);
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");

  pelora_.OpenByDropping(wide);

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
  const ViewRect shown = FittedPictureRect({1600, 300}, {fitted.width, fitted.height});
  EXPECT_EQ(fitted.At(shown.left, shown.top), 0x336699u);
  EXPECT_EQ(fitted.At(shown.left + shown.width - 1, shown.top + shown.height - 1), 0x336699u);
  EXPECT_NE(fitted.At(shown.left, shown.top - 1), 0x336699u);
  EXPECT_FALSE(GetWindowLongA(pelora_.View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(pelora_.Close(), 0u);
  const std::string ini = pelora_.SettingsPath();
  EXPECT_EQ(SettingsInt(ini, "PeloraApp", "FitToWindow"), 1);

  // The saved window comes back, raised to the smallest width.
  WriteSettings(ini,
                "[PeloraApp]\r\nWinSavePos=1\r\nWinState=1\r\nWinRectL=100\r\nWinRectT=0\r\n"
                "WinRectR=250\r\nWinRectB=500\r\n");
  ASSERT_TRUE(pelora_.Start());
  EXPECT_EQ(FrameSize(), (SIZE{200, 500}));
  EXPECT_EQ(pelora_.Close(), 0u);
}
