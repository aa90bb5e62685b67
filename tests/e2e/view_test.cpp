#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"

namespace {

class View : public ViewerTest {
 protected:
  // The image pixel shown at the view's top-left corner at 1:1.
  POINT ShownOrigin() {
    const uint32_t c = CaptureClient(pelora_.View()).At(0, 0);
    return {static_cast<LONG>((c >> 16) | (c >> 8 & 0xF) << 8),
            static_cast<LONG>((c & 0xFF) | (c >> 12 & 0xF) << 8)};
  }

  void Scroll(UINT message, WORD request, WORD position = 0) {
    SendMessageA(pelora_.View(), message, MAKEWPARAM(request, position), 0);
    pelora_.Settle();
  }

  void Wheel(short delta, WORD keys) {
    SendMessageA(pelora_.View(), WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), 0);
    pelora_.Settle();
  }
};

// The drawn picture of a one-colour image of the given size in fit mode.
ViewRect DrawnSolidPicture(PeloraProgram& pelora, uint32_t color, ScreenPixels* shot) {
  *shot = CaptureClient(pelora.View());
  int left = shot->width, top = shot->height, right = -1, bottom = -1;
  for (int y = 0; y < shot->height; ++y) {
    for (int x = 0; x < shot->width; ++x) {
      if (shot->At(x, y) != color) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return {left, top, right - left + 1, bottom - top + 1};
}

}  // namespace

TEST_F(View, FitModeShrinksCentresAndNeverEnlarges) {
  constexpr uint32_t kColor = 0x336699;
  auto solid = [](int, int) { return kColor; };
  const struct { int width, height; } sizes[] = {{1600, 300}, {300, 1500}, {100, 80}};
  ASSERT_TRUE(pelora_.Start());
  pelora_.Command(ID_VIEW_FIT);
  for (const auto& size : sizes) {
    const std::string path = folder_.Path(std::to_string(size.width) + ".bmp");
    ASSERT_TRUE(WriteTestBmp(path, size.width, size.height, solid));
    OpenByDropping(path);
    ScreenPixels shot;
    const ViewRect drawn = DrawnSolidPicture(pelora_, kColor, &shot);
    const ViewRect expected =
        FittedPictureRect({size.width, size.height}, {shot.width, shot.height});
    EXPECT_EQ(drawn, expected) << size.width << "x" << size.height << " in " << shot.width << "x"
                               << shot.height;
    EXPECT_TRUE(ShowsRectangle(shot, expected, kColor));
    EXPECT_FALSE(GetWindowLongA(pelora_.View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  }
}

TEST_F(View, ActualSizeScrollsWithBarsWheelAndThumb) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("wide.bmp", 2000, 900))));
  const LONG style = GetWindowLongA(pelora_.View(), GWL_STYLE);
  EXPECT_TRUE(style & WS_HSCROLL);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_EQ(ShownOrigin().x, 0);

  Scroll(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(ShownOrigin().x, 10);
  Scroll(WM_HSCROLL, SB_PAGERIGHT);
  EXPECT_EQ(ShownOrigin().x, 90);
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, 500);  // only tracking moves the picture
  EXPECT_EQ(ShownOrigin().x, 90);
  Scroll(WM_HSCROLL, SB_THUMBTRACK, 300);
  EXPECT_EQ(ShownOrigin().x, 300);
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(ShownOrigin().y, 10);

  Wheel(-120, 0);
  EXPECT_EQ(ShownOrigin().y, 26);
  Wheel(-120, MK_SHIFT);
  EXPECT_EQ(ShownOrigin().x, 316);
  Wheel(-120, MK_SHIFT | MK_CONTROL);  // not Shift alone: vertical
  EXPECT_EQ(ShownOrigin().y, 42);
  Wheel(120, 0);
  EXPECT_EQ(ShownOrigin().y, 26);

  // Far right: the last column shows at the right edge, also after the window grows.
  Scroll(WM_HSCROLL, SB_THUMBTRACK, 1990);
  const int clientWidth = CaptureClient(pelora_.View()).width;
  EXPECT_EQ(ShownOrigin().x, 2000 - clientWidth);
  RECT frame;
  GetWindowRect(pelora_.Window(), &frame);
  SetWindowPos(pelora_.Window(), nullptr, 0, 0, frame.right - frame.left + 100,
               frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
  pelora_.Settle();
  const ScreenPixels shot = CaptureClient(pelora_.View());
  EXPECT_EQ(shot.At(shot.width - 1, 0) >> 16 | (shot.At(shot.width - 1, 0) >> 8 & 0xF) << 8, 1999u);
}

TEST_F(View, DraggingScrollsAsIfThePictureWereHeld) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("drag.bmp", 1500, 1200))));
  HWND view = pelora_.View();
  SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
  SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 170));
  SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));  // button up: nothing
  SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  pelora_.Settle();
  EXPECT_EQ(ShownOrigin().x, 50);
  EXPECT_EQ(ShownOrigin().y, 30);
}

TEST_F(View, WindowFitsTheImageUpTo800By600) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("small.bmp", 300, 200))));
  RECT whole = {0, 0, 300, 200};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  RECT frame;
  GetWindowRect(pelora_.Window(), &frame);
  EXPECT_EQ(frame.right - frame.left, whole.right - whole.left);
  EXPECT_EQ(frame.bottom - frame.top, whole.bottom - whole.top);
  RECT client;
  GetClientRect(pelora_.View(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);

  OpenByDropping(WriteCodedImage("large.bmp", 2000, 500));
  GetWindowRect(pelora_.Window(), &frame);
  EXPECT_EQ(frame.right - frame.left, 800);
  whole = {0, 0, 2000, 500};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  EXPECT_EQ(frame.bottom - frame.top, whole.bottom - whole.top);
  EXPECT_TRUE(GetWindowLongA(pelora_.View(), GWL_STYLE) & WS_HSCROLL);

  // A frame dragged past the whole image stops there; a capped window may grow up to it.
  OpenByDropping(WriteCodedImage("wider.bmp", 900, 450));
  whole = {0, 0, 900, 450};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  GetWindowRect(pelora_.Window(), &frame);
  EXPECT_EQ(frame.right - frame.left, 800);
  DragMouse(frame.right - 2, frame.bottom - 2, frame.right + 300, frame.bottom + 300);
  pelora_.Settle();
  GetWindowRect(pelora_.Window(), &frame);
  EXPECT_EQ(frame.right - frame.left, whole.right - whole.left);
  EXPECT_EQ(frame.bottom - frame.top, whole.bottom - whole.top);
}

TEST_F(View, StatusBarShowsReadyTextAndSize) {
  ASSERT_TRUE(pelora_.Start());
  pelora_.Command(ID_VIEW_STATUSBAR);
  HWND bar = pelora_.StatusBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_EQ(pelora_.StatusText(0), "Standby ready");
  EXPECT_EQ(pelora_.StatusText(1), "size: 320 x 240");
  EXPECT_EQ(pelora_.StatusText(2), "");
  RECT barRect, viewRect;
  GetWindowRect(bar, &barRect);
  GetWindowRect(pelora_.View(), &viewRect);
  EXPECT_EQ(viewRect.bottom, barRect.top);

  // Opening a picture does not refresh the texts; showing the bar again does.
  OpenByDropping(WriteCodedImage("next.bmp", 64, 48));
  EXPECT_EQ(pelora_.StatusText(1), "size: 320 x 240");
  pelora_.Command(ID_VIEW_STATUSBAR);
  EXPECT_FALSE(IsWindowVisible(bar));
  RECT client;
  GetClientRect(pelora_.Window(), &client);
  GetClientRect(pelora_.View(), &viewRect);
  EXPECT_EQ(viewRect.bottom, client.bottom);
  pelora_.Command(ID_VIEW_STATUSBAR);
  EXPECT_EQ(pelora_.StatusText(1), "size: 64 x 48");
}
