#include <gtest/gtest.h>

#include <algorithm>

#include "adjust/adjust_ids.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "shell/resource.h"
#include "shell/view_geometry.h"
#include "tests/e2e/pelora_driver.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/win/pixels.h"
#include "vqi/vqi_export_ids.h"
#include "vqi/vqi_file.h"

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

  HWND OpenDialog(UINT command, const char* title) {
    pelora_.PostCommand(command);
    HWND dialog = pelora_.WaitForDialog(title);
    pelora_.Settle();
    return dialog;
  }

  // Types into an edit as far as the dialog can tell: the text changes and it is told so.
  void Type(HWND dialog, int control, const char* text) {
    SendDlgItemMessageA(dialog, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    pelora_.Settle();
  }

  // OK is refused with `text`, in a message box the dialog owns; the dialog stays.
  void ExpectRefusal(HWND dialog, const char* text) {
    PressButton(dialog, IDOK);
    HWND box = pelora_.WaitForDialog("Error");
    EXPECT_EQ(BoxText(box), std::string("Error: ") + text);
    CloseDialog(box);
  }

  void OpenSolid(uint32_t color) {
    const std::string path = folder_.Path(std::to_string(color) + ".bmp");
    ASSERT_TRUE(WriteTestBmp(path, 240, 180, [=](int, int) { return color; }));
    pelora_.OpenByDropping(path);
  }

  // Exports through the dialog with the given alpha kind (and colour model, and Huffman coding
  // unless switched off) and answers the save dialog with `name`; gives "colour model/planes/
  // flags of the first plane".
  std::string Export(int alphaKind, const std::string& name, int model = 1, bool huffman = true) {
    HWND dialog = OpenDialog(ID_FILE_SAVE_VQI, "VQIで出力");
    ChooseItem(dialog, IDC_VQI_ALPHA_KIND, alphaKind);
    ChooseItem(dialog, IDC_VQI_MODE, model);
    if (!huffman) CheckDlgButton(dialog, IDC_VQI_HUFFMAN, BST_UNCHECKED);
    PressButton(dialog, IDOK);
    AnswerFileDialog(pelora_.WaitForDialog("保存"), folder_.Path(name));
    VqiLayout layout = {};  // all 0 unless the file is written in time
    WaitUntil([&] {
      const std::vector<uint8_t> bytes = ReadBytes(folder_.Path(name));
      return ParseVqiFile(bytes.data(), bytes.size(), &layout);
    });
    return std::to_string(layout.colourModel) + "/" + std::to_string(layout.planeCount) + "/" +
           std::to_string(layout.planes[0].flags);
  }

  // How many of the pixels the view shows at 1:1 differ from the picture in the BMP file;
  // -1 when there is no such file or the view shows none of it.
  int DifferingPixels(const std::string& bmp) const {
    ImageBuffer picture;
    if (!LoadImageFile(&picture, bmp.c_str())) return -1;
    const ScreenPixels shot = CaptureClient(pelora_.View());
    const int left = std::max(0, (shot.width - picture.width) / 2);
    const int top = std::max(0, (shot.height - picture.height) / 2);
    const int width = std::min(picture.width, shot.width - left);
    const int height = std::min(picture.height, shot.height - top);
    int differing = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        differing += shot.At(left + x, top + y) != PixelAt(picture, x, y);
    }
    return width > 0 && height > 0 ? differing : -1;
  }

  // Whether the view menu's last two items, next and previous page, show black.
  std::vector<bool> ViewMenuPageItems() const {
    const std::vector<bool> black = pelora_.MenuTextsBlack(2);
    return black.size() < 2 ? black : std::vector<bool>(black.end() - 2, black.end());
  }

  uint32_t Centre(HWND window) const {
    const ScreenPixels shot = CaptureClient(window);
    return shot.At(shot.width / 2, shot.height / 2);
  }
};

// A picture of those the readers' tests are given, and ImageMagick's decoding of it.
std::string Picture(const std::string& name) { return BuiltFile("tests\\win\\pictures\\" + name); }

// The outer size of a window whose client area is the given size.
SIZE FrameFor(int width, int height) {
  RECT whole = {0, 0, width, height};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  return {whole.right - whole.left, whole.bottom - whole.top};
}

}  // namespace

TEST_F(Viewer, OpenStepEditExportScrollAndFit) {
  const std::string spaced = WriteCodedImage("my picture.bmp", 300, 200);
  const std::string wide = WriteCodedImage("b.BMP", 2000, 900);
  WriteCodedImage("c.bmp", 260, 60);

  // Unquoted, blanks and all; the window fits the picture, the view fills its client area.
  ASSERT_TRUE(pelora_.Start(spaced));
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");
  EXPECT_EQ(FrameSize(), FrameFor(300, 200));
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{300, 200}));
  EXPECT_EQ(MapWindowPoints(pelora_.View(), pelora_.Window(), nullptr, 0), 0);  // no offset

  // Of three pictures in the folder, a step back undoes a step.
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_NE(pelora_.Title(), "my picture.bmp - Pelora");
  pelora_.Command(ID_FILE_PREV);
  EXPECT_EQ(pelora_.Title(), "my picture.bmp - Pelora");

  // A fax of three pages opens on its first. Page Down and Page Up step through them (the
  // second lies on its side) and stop at the ends; the status bar follows. The next file
  // starts on its one page. A page that no longer reads is refused and the page shown stays.
  const std::string fax = folder_.Path("fax.tif");
  ASSERT_TRUE(CopyFileA(Picture("fax.tif").c_str(), fax.c_str(), FALSE));
  pelora_.Command(ID_VIEW_STATUSBAR);
  pelora_.Drop(fax);
  const struct {
    WPARAM keys[2];  // pressed one after the other, 0 for none
    int shown;       // the page, from 1
    bool previous, next;
  } steps[] = {{{0, 0}, 1, false, true},
               {{VK_PRIOR, VK_NEXT}, 2, true, true},
               {{VK_NEXT, 0}, 3, true, false},
               {{VK_NEXT, VK_PRIOR}, 2, true, true}};
  for (const auto& step : steps) {
    for (WPARAM key : step.keys) {
      if (key != 0) PostMessageA(pelora_.Window(), WM_KEYDOWN, key, 0);
    }
    const std::string page = std::to_string(step.shown);
    SCOPED_TRACE("page " + page);
    EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "fax.tif (" + page + "/3) - Pelora"; }))
        << pelora_.Title();
    pelora_.Settle();
    EXPECT_EQ(pelora_.StatusText(2), "ページ " + page + " / 3");
    EXPECT_EQ(ViewMenuPageItems(), (std::vector<bool>{step.next, step.previous}));
    EXPECT_EQ(DifferingPixels(Picture("fax-" + std::to_string(step.shown - 1) + ".bmp")), 0);
  }
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title().find('('), std::string::npos) << pelora_.Title();
  EXPECT_EQ(pelora_.StatusText(2), "");
  EXPECT_EQ(ViewMenuPageItems(), (std::vector<bool>{false, false}));
  // Another file that does not load leaves the pages as they were.
  const std::string cut = folder_.Path("cut.tif");
  ASSERT_TRUE(WriteBytes(cut, {'I', 'I', '*', 0}));
  pelora_.Drop(fax);
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "fax.tif (1/3) - Pelora"; }));
  pelora_.Drop(cut);
  EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: 画像を読み込めませんでした．\ncut.tif");
  ASSERT_TRUE(CopyFileA(cut.c_str(), fax.c_str(), FALSE));
  PostMessageA(pelora_.Window(), WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: 画像を読み込めませんでした．\nfax.tif");
  pelora_.Settle();
  EXPECT_EQ(pelora_.Title(), "fax.tif (1/3) - Pelora");
  EXPECT_EQ(DifferingPixels(Picture("fax-0.bmp")), 0);
  pelora_.Command(ID_VIEW_STATUSBAR);
  pelora_.OpenByDropping(spaced);

  // Turned right: screen column c, row r shows the old column r, row 199 - c.
  pelora_.Command(ID_ROTATE_RIGHT);
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{200, 300}));
  EXPECT_EQ(CaptureClient(pelora_.View()).At(37, 251), CodedColor(251, 199 - 37));
  pelora_.Command(ID_ROTATE_LEFT);

  // A plug-in that cannot be loaded is told over the window; a paste meanwhile does not
  // disturb the file being opened, which the next reader takes.
  pelora_.Command(ID_EDIT_COPY);
  WriteSettings(pelora_.SettingsPath(), "[spi]\r\n.abs=absent.dll\r\n");
  pelora_.Drop(WriteCodedImage("d.abs", 260, 60));
  HWND box = pelora_.WaitForDialog("absent.dll");
  EXPECT_EQ(GetWindow(box, GW_OWNER), pelora_.Window());
  pelora_.Command(ID_EDIT_PASTE);
  CloseDialog(box);
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "d.abs - Pelora"; }));
  pelora_.Settle();
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{260, 60}));
  EXPECT_EQ(CaptureClient(pelora_.View()).At(259, 59), CodedColor(259, 59));

  // Pasted, a copy keeps every pixel and the window is refitted to it; pasted into the
  // image, it keeps the image's size. Text on the clipboard pastes nothing.
  OpenSolid(0x336699);
  pelora_.Command(ID_EDIT_PASTE);
  ASSERT_EQ(pelora_.ViewSize(), (SIZE{300, 200}));
  ScreenPixels view = CaptureClient(pelora_.View());
  for (int y = 0; y < 200; y += 13) {
    for (int x = 0; x < 300; x += 7) ASSERT_EQ(view.At(x, y), CodedColor(x, y)) << x << "," << y;
  }
  OpenSolid(0x336698);
  pelora_.Command(ID_EDIT_PASTE_INTO);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
  memcpy(GlobalLock(text), "hello", 6);
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
  pelora_.Command(ID_EDIT_PASTE);
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{240, 180}));
  EXPECT_EQ(CaptureClient(pelora_.View()).At(239, 179), CodedColor(239, 179));

  // A picture wider than a display bitmap can be is not copied, and the clipboard keeps what
  // it held.
  BmpRecipe strip;
  strip.width = 1 << 26;
  strip.height = 1;
  strip.bitCount = 8;
  strip.compression = 1;  // run-length coded: nothing but the end of the bitmap
  strip.colorsUsed = 1;
  strip.palette = {0};
  strip.pixelData = {0, 1};
  ASSERT_TRUE(WriteBytes(folder_.Path("strip.bmp"), BuildBmp(strip)));
  pelora_.OpenByDropping(folder_.Path("strip.bmp"));
  pelora_.PostCommand(ID_EDIT_COPY);
  EXPECT_EQ(pelora_.AnswerMessageBox(),
            "エラー: 画像が大きすぎてクリップボードにコピーできません．");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

  // A file that does not load is told by name; the picture and the title stay.
  OpenSolid(0xFF0000);
  WriteBytes(folder_.Path("broken.bmp"), {'B', 'M', 1, 2, 3});
  pelora_.Drop(folder_.Path("broken.bmp"));
  EXPECT_EQ(pelora_.AnswerMessageBox(), "エラー: 画像を読み込めませんでした．\nbroken.bmp");
  pelora_.Settle();
  EXPECT_EQ(pelora_.Title(), "16711680.bmp - Pelora");
  EXPECT_EQ(Centre(pelora_.View()), 0xFF0000u);

  // Colours: only the preview changes until OK; values out of range are refused.
  HWND dialog = OpenDialog(ID_EDIT_HSV, "HSV調整");
  Type(dialog, IDC_HSV_HUE, "120");
  EXPECT_EQ(Centre(GetDlgItem(dialog, IDC_PREVIEW_AFTER)), 0x00FF00u);
  EXPECT_EQ(Centre(GetDlgItem(dialog, IDC_PREVIEW_BEFORE)), 0xFF0000u);
  EXPECT_EQ(Centre(pelora_.View()), 0xFF0000u);
  Type(dialog, IDC_HSV_HUE, "2097152");
  ExpectRefusal(dialog, "数値が不正です．");
  Type(dialog, IDC_HSV_HUE, "-240");
  Type(dialog, IDC_HSV_VALUE, "50");
  CloseDialog(dialog);
  pelora_.Settle();
  EXPECT_EQ(Centre(pelora_.View()), 0x007F00u);

  // Exported as VQI: luma planes by default, each coded in all three stages (flat blocks
  // shorten with each); a transparent colour adds an alpha plane.
  const std::string blocks = folder_.Path("blocks.bmp");
  ASSERT_TRUE(WriteTestBmp(blocks, 120, 80,
                           [](int x, int y) { return CodedColor(x / 40 * 70, y / 40 * 90); }));
  pelora_.OpenByDropping(blocks);
  // 769: delta (1), Huffman (0x100) and run-length (0x200) coding.
  EXPECT_EQ(Export(0, "default.vqi"), "1/3/769");
  EXPECT_EQ(Export(1, "keyed.vqi"), "1/4/769");
  EXPECT_EQ(Export(0, "grey.vqi", 2, false), "1/1/513");  // grey: luma alone, no Huffman
  // Saved in a chosen format: PNG unless the name says otherwise; JPEG at the quality last
  // chosen, 90 at first. Each opens again as it was.
  const auto saved = [&](const char* name) {
    return WaitUntil([&] { return ReadBytes(folder_.Path(name)).size() > 100; });
  };
  pelora_.PostCommand(ID_FILE_SAVE_AS);
  AnswerFileDialog(pelora_.WaitForDialog("形式を選んで保存"), folder_.Path("blocks"));
  EXPECT_TRUE(saved("blocks.png"));
  // A PDF is asked the same, and whether its colour goes losslessly.
  for (const std::string name : {"blocks.jpeg", "blocks.jpg", "blocks.pdf"}) {
    const bool pdf = name == "blocks.pdf";
    pelora_.PostCommand(ID_FILE_SAVE_AS);
    AnswerFileDialog(pelora_.WaitForDialog("形式を選んで保存"), folder_.Path(name));
    dialog = pelora_.WaitForDialog(pdf ? "PDFで保存" : "JPEGで保存");
    pelora_.Settle();
    char shown[8] = "";
    GetDlgItemTextA(dialog, IDC_JPEG_QUALITY, shown, sizeof shown);
    EXPECT_STREQ(shown, name == "blocks.jpeg" ? "90" : "80");
    EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, IDC_PDF_LOSSLESS)) != FALSE, pdf);
    Type(dialog, IDC_JPEG_QUALITY, "80");
    CheckDlgButton(dialog, IDC_PDF_LOSSLESS, BST_CHECKED);
    CloseDialog(dialog);
    EXPECT_TRUE(saved(name.c_str()));
  }
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "PeloraApp", "JpegQuality"), 80);
  EXPECT_EQ(SettingsInt(pelora_.SettingsPath(), "PeloraApp", "PdfLossless"), 1);
  EXPECT_EQ(RunOnHost("pdfimages -list " + HostPath(folder_.Path("blocks.pdf")) +
                      " | awk 'NR > 2 {print $1, $4, $5, $6, $9}'"),
            "1 120 80 rgb image\n");
  for (const char* name : {"blocks.jpg", "blocks.png"}) {
    pelora_.OpenByDropping(folder_.Path(name));
    EXPECT_EQ(pelora_.ViewSize(), (SIZE{120, 80}));
    EXPECT_EQ(CaptureClient(pelora_.View()).At(100, 60) & 0xF0F0F0, CodedColor(140, 90) & 0xF0F0F0);
  }
  // A file that cannot be replaced is kept, also once the user has agreed to replace it, and
  // the user is told.
  const std::string kept = folder_.Path("keyed.vqi");
  const std::vector<uint8_t> keyed = ReadBytes(kept);
  SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY);
  for (UINT command : {ID_FILE_SAVE_BMP, ID_FILE_SAVE_VQI, ID_FILE_SAVE_AS}) {
    pelora_.PostCommand(command);
    if (command == ID_FILE_SAVE_VQI) PressButton(pelora_.WaitForDialog("VQIで出力"), IDOK);
    AnswerFileDialog(
        pelora_.WaitForDialog(command == ID_FILE_SAVE_AS ? "形式を選んで保存" : "保存"), kept);
    HWND prompt = nullptr;  // the system's question whether to replace the file
    WaitUntil([&] { return GetDlgItem(prompt = pelora_.WaitForOwnWindow("#32770"), IDYES); });
    CloseDialog(prompt, IDYES);
    EXPECT_EQ(pelora_.AnswerMessageBox(10000, "エラー"), "エラー: 保存できませんでした．\n" + kept);
  }
  EXPECT_EQ(ReadBytes(kept), keyed);
  SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
  pelora_.OpenByDropping(folder_.Path("default.vqi"));
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{120, 80}));

  // Resizing: the present size ends like OK; the other side follows; the unit chosen again
  // changes nothing; what is not a size is refused.
  pelora_.OpenByDropping(WriteCodedImage("size.bmp", 640, 480));
  CloseDialog(OpenDialog(ID_EDIT_RESIZE, "リサイズ"));
  dialog = OpenDialog(ID_EDIT_RESIZE, "リサイズ");
  Type(dialog, IDC_RESIZE_HEIGHT, "120");
  for (int unit : {1, 1, 0}) ChooseItem(dialog, IDC_RESIZE_UNIT, unit);
  EXPECT_EQ(GetDlgItemInt(dialog, IDC_RESIZE_WIDTH, nullptr, FALSE), 160u);
  SendDlgItemMessageA(dialog, IDC_RESIZE_KEEP_RATIO, BM_CLICK, 0, 0);
  for (const char* refused : {"0", "65536", "99999999999999999999", "abc"}) {
    Type(dialog, IDC_RESIZE_WIDTH, refused);
    ExpectRefusal(dialog, "サイズが不正です．");
  }
  EXPECT_EQ(GetDlgItemInt(dialog, IDC_RESIZE_HEIGHT, nullptr, FALSE), 120u);
  Type(dialog, IDC_RESIZE_WIDTH, "640");  // the present width: only the height changes
  Type(dialog, IDC_RESIZE_HEIGHT, "200");
  CloseDialog(dialog);
  pelora_.Settle();
  EXPECT_EQ(pelora_.ViewSize(), (SIZE{640, 200}));

  pelora_.OpenByDropping(wide);

  // A large picture: the window grows to 800 wide at most, the view scrolls.
  EXPECT_EQ(FrameSize().cx, 800);
  const struct {
    UINT message;
    WPARAM request;
    LONG x, y;  // the image pixel then at the view's corner
  } scrolls[] = {{WM_HSCROLL, SB_LINERIGHT, 10, 0},
                 {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), 300, 0},
                 {WM_VSCROLL, SB_LINEDOWN, 300, 10},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 300, 26},
                 {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -120), 316, 26}};
  for (const auto& s : scrolls) {
    Send(s.message, s.request);
    EXPECT_EQ(CaptureClient(pelora_.View()).At(0, 0), CodedColor(s.x, s.y)) << s.message;
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

  // Printing fills the page's width, or its height, with one page.
  const std::string job =
      InstallTestPrinter("/tmp/pelora-print-" + std::to_string(GetCurrentProcessId()) + ".ps");
  for (const ViewSize size : {ViewSize{1000, 500}, ViewSize{500, 1000}}) {
    pelora_.OpenByDropping(
        WriteCodedImage(std::to_string(size.height) + ".bmp", size.width, size.height));
    pelora_.PostCommand(ID_FILE_PRINT);
    ASSERT_TRUE(CloseDialog(pelora_.WaitForDialog("印刷")));
    const std::string text = TakePrintJob(job);
    EXPECT_NE(text.find("%%Title: PeloraApp"), std::string::npos);
    EXPECT_EQ(text.find("%%Page: 2"), std::string::npos);
    EXPECT_NE(text.find(PrintedScale(size.width, size.height)), std::string::npos);
  }

  // Fit mode shrinks and centres, and needs no bars.
  pelora_.Command(ID_VIEW_FIT);
  const std::string flat = folder_.Path("flat.bmp");
  WriteTestBmp(flat, 1600, 300, [](int x, int) { return x ? 0x336699u : 0xFFFFFFu; });
  pelora_.OpenByDropping(flat);
  const ScreenPixels fitted = CaptureClient(pelora_.View());
  const ViewRect shown = FittedPictureRect({1600, 300}, {fitted.width, fitted.height});
  EXPECT_NE(fitted.At(shown.left, shown.top), 0x336699u);  // the white first column shows
  EXPECT_EQ(fitted.At(shown.left + shown.width - 1, shown.top + shown.height - 1), 0x336699u);
  EXPECT_NE(fitted.At(shown.left, shown.top - 1), 0x336699u);
  EXPECT_FALSE(GetWindowLongA(pelora_.View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(pelora_.Close(), 0u);
  // Started again with the window's place restored, fit mode comes back too.
  WritePrivateProfileStringA("PeloraApp", "WinSavePos", "1", pelora_.SettingsPath().c_str());
  ASSERT_TRUE(pelora_.Start(Quoted(wide)));
  EXPECT_FALSE(GetWindowLongA(pelora_.View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(pelora_.Close(), 0u);
}
