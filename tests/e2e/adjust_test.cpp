#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "adjust/adjust_ids.h"
#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"

namespace {

struct Size {
  LONG width, height;
  bool operator==(const Size&) const = default;
};
void PrintTo(const Size& size, std::ostream* out) { *out << size.width << "x" << size.height; }

Size ClientSize(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return {client.right, client.bottom};
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
  // A dialog or message box of the given title; null when none shows in time.
  static HWND WaitForDialog(const char* title) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowA("#32770", title)) != nullptr; });
    return found;
  }

  HWND OpenDialog(UINT command, const char* title) {
    pelora_.PostCommand(command);
    HWND dialog = WaitForDialog(title);
    pelora_.Settle();
    return dialog;
  }

  // Types into an edit as far as the dialog can tell: the text changes and it is told so.
  void Type(HWND dialog, int control, const char* text) {
    SendDlgItemMessageA(dialog, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    pelora_.Settle();
  }

  void Slide(HWND dialog, int control, int position) {
    HWND slider = GetDlgItem(dialog, control);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
    pelora_.Settle();
  }

  void ChooseUnit(HWND dialog, int index) {
    SendDlgItemMessageA(dialog, IDC_RESIZE_UNIT, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_RESIZE_UNIT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_RESIZE_UNIT)));
    pelora_.Settle();
  }

  // Presses a dialog button (posted: OK may answer with a message box) and, for OK and cancel
  // unless `stays`, waits for the dialog to close.
  void Press(HWND dialog, int button, bool stays = false) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    if (!stays) {
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    pelora_.Settle();
  }

  // A message box with this caption and text, owned by `owner`, which it closes.
  void ExpectMessage(HWND owner, const char* caption, const char* text) {
    HWND box = WaitForDialog(caption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    char shown[128] = "";
    GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
    EXPECT_STREQ(shown, text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }

  // OK is refused with `text`; the dialog stays.
  void ExpectRefusal(HWND dialog, const char* text) {
    Press(dialog, IDOK, true);
    ExpectMessage(dialog, "Error", text);
    EXPECT_TRUE(IsWindowVisible(dialog));
  }

  static uint32_t Centre(HWND dialog, int picture) {
    const ScreenPixels shot = CaptureClient(GetDlgItem(dialog, picture));
    return shot.width == 0 ? 0xFFFFFFFF : shot.At(shot.width / 2, shot.height / 2);
  }

  void OpenSolid(uint32_t color) {
    ASSERT_TRUE(pelora_.Start());
    const std::string path = folder_.Path("solid.bmp");
    ASSERT_TRUE(WriteTestBmp(path, 240, 180, [=](int, int) { return color; }));
    OpenByDropping(path);
  }

  uint32_t ShownColour() { return CaptureClient(pelora_.View()).At(120, 90); }
};

}  // namespace

TEST_F(Adjust, TurningKeysRotateAndRefit) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("turn.bmp", 300, 200))));
  SetForegroundWindow(pelora_.Window());
  PressKey('R');
  ASSERT_TRUE(WaitUntil([&] { return ClientSize(pelora_.View()) == Size{200, 300}; }));
  pelora_.Settle();
  // Turned right: screen column c, row r shows the old column r, row 199 - c.
  ScreenPixels shot = CaptureClient(pelora_.View());
  EXPECT_EQ(shot.At(0, 0), CodedColor(0, 199));
  EXPECT_EQ(shot.At(199, 0), CodedColor(0, 0));
  EXPECT_EQ(shot.At(37, 251), CodedColor(251, 199 - 37));

  PressKey('L');
  PressKey('L');
  // Turned left from the start: column c, row r shows the old column 299 - r, row c.
  ASSERT_TRUE(WaitUntil(
      [&] { return CaptureClient(pelora_.View()).At(37, 251) == CodedColor(299 - 251, 37); }));
  pelora_.Command(ID_ROTATE_RIGHT);
  EXPECT_EQ(ClientSize(pelora_.View()), (Size{300, 200}));
  EXPECT_EQ(CaptureClient(pelora_.View()).At(123, 45), CodedColor(123, 45));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, ResizeKeepsTheRatioSwitchesUnitsAndRefuses) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("size.bmp", 640, 480))));
  SetForegroundWindow(pelora_.Window());
  PressKey('R', {VK_CONTROL});
  HWND dialog = WaitForDialog("リサイズ");
  ASSERT_NE(dialog, nullptr);
  pelora_.Settle();
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_CURRENT), "640x480");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "640");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "480");
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RESIZE_KEEP_RATIO), BST_CHECKED);

  Type(dialog, IDC_RESIZE_WIDTH, "320");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "240");
  Type(dialog, IDC_RESIZE_HEIGHT, "100");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "133");
  Type(dialog, IDC_RESIZE_WIDTH, "320");
  ChooseUnit(dialog, 1);
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH) + ControlText(dialog, IDC_RESIZE_HEIGHT), "5050");
  EXPECT_EQ(
      ControlText(dialog, IDC_RESIZE_WIDTH_UNIT) + ControlText(dialog, IDC_RESIZE_HEIGHT_UNIT),
      "%%");
  ChooseUnit(dialog, 1);  // already chosen: nothing changes
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), "50");
  Type(dialog, IDC_RESIZE_WIDTH, "25");  // in percent the other side follows as it is
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "25");
  ChooseUnit(dialog, 0);
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH) + "x" + ControlText(dialog, IDC_RESIZE_HEIGHT),
            "160x120");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT_UNIT), "px");

  SendDlgItemMessageA(dialog, IDC_RESIZE_KEEP_RATIO, BM_CLICK, 0, 0);
  Type(dialog, IDC_RESIZE_WIDTH, "0");
  EXPECT_EQ(ControlText(dialog, IDC_RESIZE_HEIGHT), "120");  // the ratio is no longer kept
  for (const char* refused : {"0", "65536", "99999999999999999999", "abc"}) {
    Type(dialog, IDC_RESIZE_WIDTH, refused);
    ExpectRefusal(dialog, "サイズが不正です．");
    EXPECT_EQ(ControlText(dialog, IDC_RESIZE_WIDTH), refused);  // kept as typed
  }
  Type(dialog, IDC_RESIZE_WIDTH, "300");
  Type(dialog, IDC_RESIZE_HEIGHT, "200");
  Press(dialog, IDOK);
  EXPECT_EQ(ClientSize(pelora_.View()), (Size{300, 200}));
  // A smooth picture of coded colours shrinks to about the same colours.
  const uint32_t corner = CaptureClient(pelora_.View()).At(299, 199);
  EXPECT_NEAR(static_cast<int>(corner >> 16), 0x7F, 3);
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, ResizeByPercentOrToTheSameSizeOrCancelled) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("odd.bmp", 641, 481))));
  HWND dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  ASSERT_NE(dialog, nullptr);
  Press(dialog, IDOK);  // the present size: nothing to do, and it ends like OK
  dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_RESIZE_WIDTH, "10");
  Press(dialog, IDCANCEL);
  EXPECT_EQ(ClientSize(pelora_.View()).width, 641);

  dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  ASSERT_NE(dialog, nullptr);
  ChooseUnit(dialog, 1);
  Type(dialog, IDC_RESIZE_WIDTH, "50");
  Press(dialog, IDOK);
  EXPECT_EQ(ClientSize(pelora_.View()), (Size{320, 240}));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, HsvPreviewFollowsTheNumbersAndOkApplies) {
  OpenSolid(0xFF0000);
  HWND dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_HSV_HUE) + " " + ControlText(dialog, IDC_HSV_SATURATION) + " " +
                ControlText(dialog, IDC_HSV_VALUE),
            "0 100 100");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMIN, 0, 0), -240);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMAX, 0, 0), 240);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_SECOND, TBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(ClientSize(GetDlgItem(dialog, IDC_PREVIEW_AFTER)), (Size{160, 120}));
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
  EXPECT_EQ(ShownColour(), 0x007F00u);

  dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_HSV_HUE, "120");
  Press(dialog, IDCANCEL);
  EXPECT_EQ(ShownColour(), 0x007F00u);
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, LevelsPreviewFollowsTheNumbersAndOkApplies) {
  OpenSolid(Grey(120));
  HWND dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_ADJUST_BRIGHTNESS) + " " +
                ControlText(dialog, IDC_ADJUST_CONTRAST) + " " +
                ControlText(dialog, IDC_ADJUST_GAMMA),
            "0 100 100");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMIN, 0, 0), -100);
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
  EXPECT_EQ(ShownColour(), Grey(112));

  dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");  // gamma 0 ends with OK, image unchanged
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_ADJUST_GAMMA, "0");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(112));
  Press(dialog, IDOK);
  EXPECT_EQ(ShownColour(), Grey(112));
  dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
  ASSERT_NE(dialog, nullptr);
  Type(dialog, IDC_ADJUST_CONTRAST, "0");
  Press(dialog, IDCANCEL);
  EXPECT_EQ(ShownColour(), Grey(112));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, AnEmptyImageIsNeverTouched) {
  ASSERT_TRUE(pelora_.Start());
  const std::string broken = folder_.Path("broken.bmp");
  WriteBytes(broken, {'B', 'M', 1, 2, 3});
  OpenByDropping(broken);
  RECT before, after;
  GetWindowRect(pelora_.Window(), &before);
  pelora_.Command(ID_ROTATE_LEFT);
  pelora_.Command(ID_ROTATE_RIGHT);
  pelora_.PostCommand(ID_EDIT_RESIZE);
  ExpectMessage(pelora_.Window(), "エラー", "画像が読み込まれていません");
  for (auto [command, title] : {std::pair{ID_EDIT_HSV, "HSV調整"}, {ID_EDIT_ADJUST, "画像調整"}}) {
    HWND dialog = OpenDialog(command, title);
    ASSERT_NE(dialog, nullptr) << title;
    EXPECT_EQ(Centre(dialog, IDC_PREVIEW_BEFORE), 0xFFFFFFu);
    Type(dialog, IDC_HSV_HUE, "30");
    Press(dialog, IDOK);
  }
  EXPECT_EQ(pelora_.Title(), "broken.bmp - Pelora");
  GetWindowRect(pelora_.Window(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));  // nothing to fit the window to
  EXPECT_EQ(pelora_.Close(), 0u);
}
