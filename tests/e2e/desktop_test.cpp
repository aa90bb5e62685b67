#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"
#include "tests/e2e/test_printer.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

class Desktop : public ViewerTest {
 protected:
  // Prints the current image through the dialog; gives the PostScript job.
  std::string PrintThroughDialog(const std::string& output) {
    DeleteFileA(output.c_str());
    pelora_.PostCommand(ID_FILE_PRINT);
    HWND dialog = pelora_.WaitForOwnWindow("#32770");
    if (dialog == nullptr) return "";
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    std::string job;
    WaitUntil([&] {
      const std::vector<uint8_t> bytes = ReadBytes(output);
      job.assign(bytes.begin(), bytes.end());
      return job.find("%%EOF") != std::string::npos;
    });
    DeleteFileA(output.c_str());
    return job;
  }
};

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST_F(Desktop, PrintingFillsThePageWidthOrHeight) {
  const std::string unixOutput =
      "/tmp/pelora-print-" + std::to_string(GetCurrentProcessId()) + ".ps";
  std::string output = "Z:" + unixOutput;
  for (char& c : output) c = c == '/' ? '\\' : c;
  ASSERT_TRUE(InstallTestPrinter(unixOutput));
  HDC printer = CreateDCA(nullptr, "Pelora Test Printer", nullptr, nullptr);
  ASSERT_NE(printer, nullptr);
  const ViewSize printable = {GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};
  DeleteDC(printer);

  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("wide.bmp", 1000, 500))));
  std::string job = PrintThroughDialog(output);
  ASSERT_NE(job, "");
  EXPECT_NE(job.find("%%Title: PeloraApp"), std::string::npos);
  EXPECT_EQ(Count(job, "%%Page: "), 1u);
  ViewSize printed = PrintedSize(printable, {1000, 500});
  EXPECT_EQ(printed.width, printable.width);
  EXPECT_NE(job.find("0 0 translate\n" + std::to_string(printed.width) + " " +
                     std::to_string(printed.height) + " scale"),
            std::string::npos);

  OpenByDropping(WriteCodedImage("tall.bmp", 500, 1000));
  job = PrintThroughDialog(output);
  EXPECT_EQ(Count(job, "%%Page: "), 1u);
  printed = PrintedSize(printable, {500, 1000});
  EXPECT_EQ(printed.height, printable.height);
  EXPECT_NE(job.find("0 0 translate\n" + std::to_string(printed.width) + " " +
                     std::to_string(printed.height) + " scale"),
            std::string::npos);
  EXPECT_EQ(pelora_.Close(), 0u);
}

namespace {

// The names FindFirstFileA gives for the folder's image files, in its order.
std::vector<std::string> EnumeratedImages(const TempFolder& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(folder.Path("*.*").c_str(), &entry);
  do {
    const std::string name = entry.cFileName;
    const bool isImage = name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".bmp") == 0;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isImage) names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
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

}  // namespace

TEST_F(Desktop, NextAndPreviousStepThroughTheFolderAsARing) {
  for (const char* name : {"a.bmp", "b.BMP", "c.bmp"}) WriteCodedImage(name, 200 + name[0], 100);
  WriteBytes(folder_.Path("notes.txt"), {'x'});
  WriteBytes(folder_.Path("empty.bmp"), {});
  CreateDirectoryA(folder_.Path("folder.bmp").c_str(), nullptr);
  const std::vector<std::string> ring = EnumeratedImages(folder_);
  std::vector<std::string> images;
  for (const std::string& name : ring) {
    if (name != "empty.bmp") images.push_back(name);
  }
  ASSERT_EQ(images.size(), 3u);

  ASSERT_TRUE(pelora_.Start(Quoted(folder_.Path(images[0]))));
  SetForegroundWindow(pelora_.Window());
  for (size_t step = 1; step <= images.size(); ++step) {
    PressKey(VK_RIGHT, {VK_MENU});
    const std::string expected = images[step % images.size()] + " - Pelora";
    EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == expected; })) << pelora_.Title();
  }
  PressKey(VK_LEFT, {VK_MENU});
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == images.back() + " - Pelora"; }));

  // A scanner request leaves no document; stepping goes on in the folder browsed last.
  PeloraProgram request(folder_);
  ASSERT_TRUE(request.Start("CMD:TWAIN", false));
  EXPECT_EQ(request.WaitForExit(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return pelora_.Title() == "TWAIN機器 Pelora"; }));
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), images[0] + " - Pelora");
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Desktop, CopyAndPasteKeepThePixels) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("copied.bmp", 300, 200))));
  SetForegroundWindow(pelora_.Window());
  PressKey('C', {VK_CONTROL});
  OpenByDropping(WriteCodedImage("other.bmp", 250, 120));
  pelora_.Command(ID_EDIT_PASTE);
  EXPECT_EQ(pelora_.Title(), "other.bmp - Pelora");
  const ScreenPixels view = CaptureClient(pelora_.View());
  ASSERT_EQ(view.width, 300);  // refitted to the pasted picture
  ASSERT_EQ(view.height, 200);
  for (int y = 0; y < 200; y += 13) {
    for (int x = 0; x < 300; x += 7) ASSERT_EQ(view.At(x, y), CodedColor(x, y)) << x << "," << y;
  }

  PutOnClipboard(0, 0, 0);  // text only: nothing happens
  pelora_.Command(ID_EDIT_PASTE);
  EXPECT_EQ(CaptureClient(pelora_.View()).At(299, 199), CodedColor(299, 199));

  // A picture wider than a display bitmap can be is not copied, and the text stays.
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
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Desktop, PasteIntoTheImageKeepsItsSize) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("target.bmp", 300, 200))));
  PutOnClipboard(100, 50, 0x123456);
  pelora_.Command(ID_EDIT_PASTE_INTO);
  InvalidateRect(pelora_.View(), nullptr, TRUE);
  pelora_.Settle();
  ScreenPixels view = CaptureClient(pelora_.View());
  EXPECT_TRUE(ShowsRectangle(view, {0, 0, 100, 50}, 0x123456));
  EXPECT_EQ(view.At(150, 100), CodedColor(150, 100));

  PutOnClipboard(400, 300, 0x654321);
  pelora_.Command(ID_EDIT_PASTE_INTO);
  InvalidateRect(pelora_.View(), nullptr, TRUE);
  pelora_.Settle();
  view = CaptureClient(pelora_.View());
  EXPECT_EQ(view.width, 300);
  EXPECT_TRUE(ShowsRectangle(view, {0, 0, 300, 200}, 0x654321));

  // After a file that does not load there is no image to paste into.
  WriteBytes(folder_.Path("broken.bmp"), {'B', 'M', 0});
  OpenByDropping(folder_.Path("broken.bmp"));
  pelora_.PostCommand(ID_EDIT_PASTE_INTO);
  HWND message = pelora_.WaitForOwnWindow("#32770");
  ASSERT_NE(message, nullptr);
  char caption[64] = "";
  char text[128] = "";
  GetWindowTextA(message, caption, sizeof caption);
  GetDlgItemTextA(message, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(caption, "エラー");
  EXPECT_STREQ(text, "画像が読み込まれていません");
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(message); }));
  EXPECT_EQ(pelora_.Close(), 0u);
}
