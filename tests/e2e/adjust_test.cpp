#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "adjust/adjust_ids.h"
#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"

namespace {

uint32_t Grey(uint32_t level) { return level << 16 | level << 8 | level; }

class Adjust : public ViewerTest {
 protected:
  HWND OpenDialog(UINT command, const char* title) {
    pelora_.PostCommand(command);
    HWND dialog = pelora_.WaitForDialog(title);
    pelora_.Settle();
    return dialog;
  }

  std::string Text(HWND dialog, int control) {
    char text[128] = "";
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
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

  void Finish(HWND dialog, int button = IDOK) {
    EXPECT_TRUE(CloseDialog(dialog, button));
    pelora_.Settle();
  }

  // OK is refused with `text`, in a message box the dialog owns; the dialog stays.
  void ExpectRefusal(HWND dialog, const char* text) {
    PressButton(dialog, IDOK);
    HWND box = pelora_.WaitForDialog("Error");
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    EXPECT_EQ(BoxText(box), std::string("Error: ") + text);
    CloseDialog(box);
    EXPECT_TRUE(IsWindowVisible(dialog));
  }

  static uint32_t Centre(HWND dialog, int picture) {
    const ScreenPixels shot = CaptureClient(GetDlgItem(dialog, picture));
    return shot.width == 0 ? 0xFFFFFFFF : shot.At(shot.width / 2, shot.height / 2);
  }

  void OpenSolid(uint32_t color) {
    const std::string path = folder_.Path(std::to_string(color) + ".bmp");
    ASSERT_TRUE(WriteTestBmp(path, 240, 180, [=](int, int) { return color; }));
    OpenByDropping(path);
  }

  uint32_t ShownColour() { return CaptureClient(pelora_.View()).At(120, 90); }
};

}  // namespace

TEST_F(Adjust, TurnAndResize) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("turn.bmp", 300, 200))));
  SetForegroundWindow(pelora_.Window());
  PressKey('R');
  ASSERT_TRUE(WaitUntil([&] { return ClientSize() == SIZE{200, 300}; }));
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
  EXPECT_EQ(ClientSize(), (SIZE{300, 200}));
  EXPECT_EQ(CaptureClient(pelora_.View()).At(123, 45), CodedColor(123, 45));

  OpenByDropping(WriteCodedImage("size.bmp", 640, 480));
  HWND dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  Finish(dialog);  // the present size: nothing to do, and it ends like OK
  dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  Type(dialog, IDC_RESIZE_WIDTH, "10");
  Finish(dialog, IDCANCEL);
  EXPECT_EQ(ClientSize(), (SIZE{640, 480}));
  SetForegroundWindow(pelora_.Window());
  PressKey('R', {VK_CONTROL});
  dialog = pelora_.WaitForDialog("リサイズ");
  ASSERT_NE(dialog, nullptr);
  pelora_.Settle();
  EXPECT_EQ(Text(dialog, IDC_RESIZE_CURRENT), "640x480");
  EXPECT_EQ(Text(dialog, IDC_RESIZE_WIDTH) + "x" + Text(dialog, IDC_RESIZE_HEIGHT), "640x480");
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RESIZE_KEEP_RATIO), BST_CHECKED);
  // The other side follows, in pixels by the ratio, in percent as it is.
  const struct {
    int unit;     // -1: none chosen
    int control;  // typed into, or 0
    const char* typed;
    const char* shown;  // width x height, their units
  } steps[] = {{-1, IDC_RESIZE_WIDTH, "320", "320x240 pxpx"},
               {-1, IDC_RESIZE_HEIGHT, "100", "133x100 pxpx"},
               {-1, IDC_RESIZE_WIDTH, "320", "320x240 pxpx"},
               {1, 0, nullptr, "50x50 %%"},
               {1, 0, nullptr, "50x50 %%"},  // already chosen: nothing changes
               {-1, IDC_RESIZE_WIDTH, "25", "25x25 %%"},
               {0, 0, nullptr, "160x120 pxpx"}};
  for (const auto& step : steps) {
    if (step.unit >= 0) ChooseItem(dialog, IDC_RESIZE_UNIT, step.unit);
    if (step.control != 0) Type(dialog, step.control, step.typed);
    pelora_.Settle();
    EXPECT_EQ(Text(dialog, IDC_RESIZE_WIDTH) + "x" + Text(dialog, IDC_RESIZE_HEIGHT) + " " +
                  Text(dialog, IDC_RESIZE_WIDTH_UNIT) + Text(dialog, IDC_RESIZE_HEIGHT_UNIT),
              step.shown);
  }
  SendDlgItemMessageA(dialog, IDC_RESIZE_KEEP_RATIO, BM_CLICK, 0, 0);
  Type(dialog, IDC_RESIZE_WIDTH, "0");
  EXPECT_EQ(Text(dialog, IDC_RESIZE_HEIGHT), "120");  // the ratio is no longer kept
  for (const char* refused : {"0", "65536", "99999999999999999999", "abc"}) {
    Type(dialog, IDC_RESIZE_WIDTH, refused);
    ExpectRefusal(dialog, "サイズが不正です．");
    EXPECT_EQ(Text(dialog, IDC_RESIZE_WIDTH), refused);  // kept as typed
  }
  Type(dialog, IDC_RESIZE_WIDTH, "300");
  Type(dialog, IDC_RESIZE_HEIGHT, "200");
  Finish(dialog);
  EXPECT_EQ(ClientSize(), (SIZE{300, 200}));
  // A smooth picture of coded colours shrinks to about the same colours.
  EXPECT_NEAR(static_cast<int>(CaptureClient(pelora_.View()).At(299, 199) >> 16), 0x7F, 3);
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Adjust, ColoursPreviewAndApplyAndAnEmptyImageIsNeverTouched) {
  ASSERT_TRUE(pelora_.Start());
  OpenSolid(0xFF0000);
  HWND dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(dialog, IDC_HSV_HUE) + " " + Text(dialog, IDC_HSV_SATURATION) + " " +
                Text(dialog, IDC_HSV_VALUE),
            "0 100 100");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMIN, 0, 0), -240);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMAX, 0, 0), 240);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_SECOND, TBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(CaptureClient(GetDlgItem(dialog, IDC_PREVIEW_AFTER)).width, 160);
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0xFF0000u);
  Type(dialog, IDC_HSV_HUE, "120");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0x00FF00u);
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_BEFORE), 0xFF0000u);
  EXPECT_EQ(ShownColour(), 0xFF0000u);  // only the preview has changed
  Slide(dialog, IDC_SLIDER_SECOND, 0);
  EXPECT_EQ(Text(dialog, IDC_HSV_SATURATION), "0");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0xFFFFFFu);
  Slide(dialog, IDC_SLIDER_FIRST, -240);
  EXPECT_EQ(Text(dialog, IDC_HSV_HUE), "-240");
  Type(dialog, IDC_HSV_SATURATION, "65536");  // refused: the preview stays
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0xFFFFFFu);
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_HSV_SATURATION, "100");
  Type(dialog, IDC_HSV_HUE, "2097152");
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_HSV_HUE, "-240");
  Type(dialog, IDC_HSV_VALUE, "50");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), 0x007F00u);
  Finish(dialog);
  EXPECT_EQ(ShownColour(), 0x007F00u);
  dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  Type(dialog, IDC_HSV_HUE, "120");
  Finish(dialog, IDCANCEL);
  EXPECT_EQ(ShownColour(), 0x007F00u);

  OpenSolid(Grey(120));
  dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(dialog, IDC_ADJUST_BRIGHTNESS) + " " + Text(dialog, IDC_ADJUST_CONTRAST) + " " +
                Text(dialog, IDC_ADJUST_GAMMA),
            "0 100 100");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLIDER_FIRST, TBM_GETRANGEMIN, 0, 0), -100);
  Type(dialog, IDC_ADJUST_CONTRAST, "200");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(112));
  Slide(dialog, IDC_SLIDER_FIRST, 15);
  EXPECT_EQ(Text(dialog, IDC_ADJUST_BRIGHTNESS), "15");
  EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(255));
  Slide(dialog, IDC_SLIDER_FIRST, 0);
  Type(dialog, IDC_ADJUST_GAMMA, "65536");
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_ADJUST_GAMMA, "100");
  Finish(dialog);
  EXPECT_EQ(ShownColour(), Grey(112));
  // Gamma 0 ends with OK, the image unchanged; cancel changes nothing either.
  for (const auto& [control, text, button] :
       {std::tuple{IDC_ADJUST_GAMMA, "0", IDOK}, {IDC_ADJUST_CONTRAST, "0", IDCANCEL}}) {
    dialog = OpenDialog(ID_EDIT_ADJUST, "画像調整");
    Type(dialog, control, text);
    if (button == IDOK) {
      EXPECT_EQ(Centre(dialog, IDC_PREVIEW_AFTER), Grey(112));
    }
    Finish(dialog, button);
    EXPECT_EQ(ShownColour(), Grey(112));
  }

  // After a file that does not load there is no image: the commands change nothing.
  const std::string broken = folder_.Path("broken.bmp");
  WriteBytes(broken, {'B', 'M', 1, 2, 3});
  OpenByDropping(broken);
  RECT before, after;
  GetWindowRect(pelora_.Window(), &before);
  pelora_.Command(ID_ROTATE_LEFT);
  pelora_.Command(ID_ROTATE_RIGHT);
  for (UINT command : {ID_EDIT_RESIZE, ID_EDIT_PASTE_INTO}) {
    pelora_.PostCommand(command);
    EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: 画像が読み込まれていません");
  }
  for (auto [command, title] : {std::pair{ID_EDIT_HSV, "HSV調整"}, {ID_EDIT_ADJUST, "画像調整"}}) {
    dialog = OpenDialog(command, title);
    ASSERT_NE(dialog, nullptr) << title;
    EXPECT_EQ(Centre(dialog, IDC_PREVIEW_BEFORE), 0xFFFFFFu);
    Type(dialog, IDC_HSV_HUE, "30");
    Finish(dialog);
  }
  EXPECT_EQ(pelora_.Title(), "broken.bmp - Pelora");
  GetWindowRect(pelora_.Window(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));  // nothing to fit the window to
  EXPECT_EQ(pelora_.Close(), 0u);
}
