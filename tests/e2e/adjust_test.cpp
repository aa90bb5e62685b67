#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include <gtest/gtest.h>

#include "adjust/adjust_ids.h"
#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"

namespace {

struct TitledWindow {
  DWORD process;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchTitledWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TitledWindow*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char title[128] = "";
  GetWindowTextA(window, title, sizeof title);
  if (process != search->process || !IsWindowVisible(window) || strcmp(title, search->title) != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

std::string ControlText(HWND dialog, int control) {
  char text[128] = "";
  SendMessageA(GetDlgItem(dialog, control), WM_GETTEXT, sizeof text,
               reinterpret_cast<LPARAM>(text));
  return text;
}

uint32_t Grey(uint32_t level) { return level << 16 | level << 8 | level; }

class Adjust : public ViewerTest {
 protected:
  // The program's visible top-level window with this title; null when none shows in time.
  HWND WaitForTitled(const char* title) {
    TitledWindow search = {pelora_.ProcessId(), title, nullptr};
    WaitUntil([&] {
      EnumWindows(MatchTitledWindow, reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr;
    });
    return search.found;
  }

  HWND OpenDialog(UINT command, const char* title) {
    pelora_.PostCommand(command);
    HWND dialog = WaitForTitled(title);
    if (dialog != nullptr) pelora_.Settle();
    return dialog;
  }

  // Types into an edit as far as the dialog can tell: the text changes and it is told so.
  void Type(HWND dialog, int control, const char* text) {
    SendMessageA(GetDlgItem(dialog, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    pelora_.Settle();
  }

  void Slide(HWND dialog, int control, int position) {
    HWND slider = GetDlgItem(dialog, control);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
    pelora_.Settle();
  }

  // Presses a dialog button; posted, as OK may answer with a message box.
  void Press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    pelora_.Settle();
  }

  // OK is refused with `text` in a message box titled "Error" that the dialog owns; the box is
  // closed and the dialog stays.
  void ExpectRefusal(HWND dialog, const char* text) {
    Press(dialog, IDOK);
    HWND box = WaitForTitled("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    char shown[128] = "";
    GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
    EXPECT_STREQ(shown, text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowVisible(dialog));
  }

  void ExpectClosed(HWND dialog) {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    pelora_.Settle();
  }

  uint32_t Centre(HWND dialog, int picture) {
    const ScreenPixels shot = CaptureClient(GetDlgItem(dialog, picture));
    return shot.width == 0 ? 0xFFFFFFFF : shot.At(shot.width / 2, shot.height / 2);
  }

  // Opens a one-colour picture of 240 × 180.
  void OpenSolid(uint32_t color) {
    ASSERT_TRUE(pelora_.Start());
    const std::string path = folder_.Path("solid.bmp");
    ASSERT_TRUE(WriteTestBmp(path, 240, 180, [=](int, int) { return color; }));
    OpenByDropping(path);
  }

  uint32_t ShownColour() { return CaptureClient(pelora_.View()).At(120, 90); }
};

struct Size {
  LONG width;
  LONG height;
  bool operator==(const Size&) const = default;
};

void PrintTo(const Size& size, std::ostream* out) { *out << size.width << "x" << size.height; }

Size ClientSize(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

}  // namespace

TEST_F(Adjust, TurningKeysRotateAndRefit) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("turn.bmp", 300, 200))));
  SetForegroundWindow(pelora_.Window());
  PressKey('R');
  ASSERT_TRUE(WaitUntil([&] {
    return ClientSize(pelora_.View()) == Size{200, 300};
  })) << ClientSize(pelora_.View()).width;
  pelora_.Settle();
  // Turned right: screen column c, row r shows the old column r, row 199 - c.
  ScreenPixels shot = CaptureClient(pelora_.View());
  EXPECT_EQ(shot.At(0, 0), CodedColor(0, 199));
  EXPECT_EQ(shot.At(199, 0), CodedColor(0, 0));
  EXPECT_EQ(shot.At(37, 251), CodedColor(251, 199 - 37));

  PressKey('L');
  PressKey('L');
  ASSERT_TRUE(WaitUntil([&] {
    return ClientSize(pelora_.View()) == Size{200, 300} &&
           CaptureClient(pelora_.View()).At(0, 0) == CodedColor(299, 0);
  }));
  // Turned left once from the original: column c, row r shows the old column 299 - r, row c.
  shot = CaptureClient(pelora_.View());
  EXPECT_EQ(shot.At(37, 251), CodedColor(299 - 251, 37));

  pelora_.Command(ID_ROTATE_RIGHT);
  EXPECT_EQ(ClientSize(pelora_.View()), (Size{300, 200}));
  shot = CaptureClient(pelora_.View());
  EXPECT_EQ(shot.At(123, 45), CodedColor(123, 45));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, ResizeKeepsTheRatioSwitchesUnitsAndRefuses) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("size.bmp", 640, 480))));
  SetForegroundWindow(pelora_.Window());
  PressKey('R', {VK_CONTROL});
  HWND dialog = WaitForTitled("リサイズ");
  ASSERT_NE(dialog, nullptr);
  pelora_.Settle();
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_CURRENT), "640x480");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "640");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "480");
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RESIZE_KEEP_RATIO), BST_CHECKED);
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH_UNIT), "px");

  Type(dialog, IDC_RESIZE_WIDTH, "320");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "240");
  Type(dialog, IDC_RESIZE_HEIGHT, "100");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "133");
  Type(dialog, IDC_RESIZE_WIDTH, "320");

  HWND unit = GetDlgItem(dialog, IDC_RESIZE_UNIT);
  auto choose = [&](int index) {
    SendMessageA(unit, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_RESIZE_UNIT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(unit));
    pelora_.Settle();
  };
  choose(1);
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "50");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "50");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH_UNIT), "%");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT_UNIT), "%");
  choose(1);  // already chosen: nothing changes
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "50");
  Type(dialog, IDC_RESIZE_WIDTH, "25");  // percent: the other side follows as it is
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "25");
  choose(0);
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "160");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "120");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT_UNIT), "px");

  SendMessageA(GetDlgItem(dialog, IDC_RESIZE_KEEP_RATIO), BM_CLICK, 0, 0);
  Type(dialog, IDC_RESIZE_WIDTH, "0");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "120");  // the ratio is no longer kept
  ExpectRefusal(dialog, "サイズが不正です．");
  Type(dialog, IDC_RESIZE_WIDTH, "65536");
  ExpectRefusal(dialog, "サイズが不正です．");
  Type(dialog, IDC_RESIZE_WIDTH, "99999999999999999999");
  ExpectRefusal(dialog, "サイズが不正です．");
  Type(dialog, IDC_RESIZE_WIDTH, "abc");
  ExpectRefusal(dialog, "サイズが不正です．");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "abc");  // kept as typed

  Type(dialog, IDC_RESIZE_WIDTH, "300");
  Type(dialog, IDC_RESIZE_HEIGHT, "200");
  Press(dialog, IDOK);
  ExpectClosed(dialog);
  EXPECT_EQ(ClientSize(pelora_.View()), (Size{300, 200}));
  // A smooth picture of coded colours shrinks to about the same colours.
  const uint32_t corner = CaptureClient(pelora_.View()).At(299, 199);
  EXPECT_NEAR(static_cast<int>(corner >> 16), 0x7F, 3) << std::hex << corner;
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, ResizeByPercentOrToTheSameSizeOrCancelled) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("odd.bmp", 641, 481))));
  HWND dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  ASSERT_NE(dialog, nullptr);
  Press(dialog, IDOK);  // the present size: nothing to do, but it is OK
  ExpectClosed(dialog);
  EXPECT_EQ(pelora_.Title(), "odd.bmp - Pelora");

  dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_RESIZE_WIDTH, "10");
  Press(dialog, IDCANCEL);
  ExpectClosed(dialog);
  EXPECT_EQ(ClientSize(pelora_.View()).width, 641);

  dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  ASSERT_NE(dialog, nullptr);
  HWND unit = GetDlgItem(dialog, IDC_RESIZE_UNIT);
  SendMessageA(unit, CB_SETCURSEL, 1, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_RESIZE_UNIT, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(unit));
  Type(dialog, IDC_RESIZE_WIDTH, "50");
  Press(dialog, IDOK);
  ExpectClosed(dialog);
  EXPECT_EQ(ClientSize(pelora_.View()), (Size{320, 240}));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, HsvPreviewFollowsTheNumbersAndOkApplies) {
  OpenSolid(0xFF0000);
  HWND dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_HSV_HUE), "0");
  EXPECT_EQ(ControlText(dialog, IDC_HSV_SATURATION), "100");
  EXPECT_EQ(ControlText(dialog, IDC_HSV_VALUE), "100");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMIN, 0, 0), -240);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMAX, 0, 0), 240);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_SECOND, TBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(ClientSize(GetDlgItem(dialog, IDC_PREVIEW_AFTER)), (Size{160, 120}));
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_BEFORE), 0xFF0000u);
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0xFF0000u);

  Type(dialog, IDC_HSV_HUE, "120");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0x00FF00u);
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_BEFORE), 0xFF0000u);
  EXPECT_EQ(ShownColour(), 0xFF0000u);  // only the preview has changed

  Slide(dialog, IDC_SLIDER_SECOND, 0);
  EXPECT_EQ(ControlText(dialog, IDC_HSV_SATURATION), "0");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0xFFFFFFu);
  Slide(dialog, IDC_SLIDER_FIRST, -240);
  EXPECT_EQ(ControlText(dialog, IDC_HSV_HUE), "-240");
  Type(dialog, IDC_HSV_SATURATION, "65536");  // refused: the preview stays
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0xFFFFFFu);
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_HSV_SATURATION, "100");
  Type(dialog, IDC_HSV_HUE, "2097152");
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_HSV_HUE, "-240");
  Type(dialog, IDC_HSV_VALUE, "50");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0x007F00u);
  Press(dialog, IDOK);
  ExpectClosed(dialog);
  EXPECT_EQ(ShownColour(), 0x007F00u);

  dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_HSV_HUE, "120");
  Press(dialog, IDCANCEL);
  ExpectClosed(dialog);
  EXPECT_EQ(ShownColour(), 0x007F00u);
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, LevelsPreviewFollowsTheNumbersAndOkApplies) {
  OpenSolid(Grey(120));
  HWND dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_ADJUST_BRIGHTNESS), "0");
  EXPECT_EQ(ControlText(dialog, IDC_ADJUST_CONTRAST), "100");
  EXPECT_EQ(ControlText(dialog, IDC_ADJUST_GAMMA), "100");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMIN, 0, 0), -100);
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(120));

  Type(dialog, IDC_ADJUST_CONTRAST, "200");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(112));
  Slide(dialog, IDC_SLIDER_FIRST, 15);
  EXPECT_EQ(ControlText(dialog, IDC_ADJUST_BRIGHTNESS), "15");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(255));
  Slide(dialog, IDC_SLIDER_FIRST, 0);
  Type(dialog, IDC_ADJUST_GAMMA, "65536");
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_ADJUST_GAMMA, "100");
  Press(dialog, IDOK);
  ExpectClosed(dialog);
  EXPECT_EQ(ShownColour(), Grey(112));

  // Gamma 0 ends with OK and leaves the image.
  dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_ADJUST_GAMMA, "0");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(112));
  Press(dialog, IDOK);
  ExpectClosed(dialog);
  EXPECT_EQ(ShownColour(), Grey(112));

  dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_ADJUST_CONTRAST, "0");
  Press(dialog, IDCANCEL);
  ExpectClosed(dialog);
  EXPECT_EQ(ShownColour(), Grey(112));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, AnEmptyImageIsNeverTouched) {
  ASSERT_TRUE(pelora_.Start());
  const std::string broken = folder_.Path("broken.bmp");
  WriteBytes(broken, {'B', 'M', 1, 2, 3});
  OpenByDropping(broken);
  pelora_.Command(ID_ROTATE_LEFT);
  pelora_.Command(ID_ROTATE_RIGHT);

  pelora_.PostCommand(ID_EDIT_RESIZE);
  HWND box = WaitForTitled("エラー");
  ASSERT_NE(box, nullptr);
  char shown[128] = "";
  GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
  EXPECT_STREQ(shown, "画像が読み込まれていません");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

  for (auto [command, title] : {std::pair{ID_EDIT_HSV, "HSV調整"}, {ID_EDIT_ADJUST, "画像調整"}}) {
    HWND dialog = OpenDialog(command, title);
    ASSERT_NE(dialog, nullptr) << title;
    EXPECT_EQ(Centre(dialog, IDC_PREVIEW_BEFORE), 0xFFFFFFu);
    Type(dialog, IDC_HSV_HUE, "30");
    Press(dialog, IDOK);
    ExpectClosed(dialog);
  }
  EXPECT_EQ(pelora_.Title(), "broken.bmp - Pelora");
  EXPECT_EQ(pelora_.Close(), 0u);
}
