#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "core/image_writer.h"
#include "pdf/pdf_writer.h"
#include "shell/settings.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/fixtures/test_plugin_file.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"
#include "vqi/vqi_encoder.h"

namespace {

using enum TestPluginBehaviour;

enum class Writer { kBmp, kVqi, kPng };

bool Write(Writer writer, const std::string& path, const ImageBuffer& image) {
  const uint32_t allStages = kExportDelta | kExportRle | kExportHuffman;
  switch (writer) {
    case Writer::kBmp:
      return WriteBmpFile(path.c_str(), &image);
    case Writer::kVqi:
      return EncodeVqiImage(&image, path.c_str(), kExportRgb, allStages, 0, nullptr);
    case Writer::kPng:
      return WriteImageFile(path.c_str(), image, ImageFileFormat::kPng, 90);
  }
  return false;
}

// The message boxes this thread showed, as "caption: text"; each is closed at once.
std::vector<std::string> boxes;

LRESULT CALLBACK CloseMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
  const HWND box = reinterpret_cast<HWND>(wParam);
  char kind[16] = "", caption[256] = "", text[512] = "";
  if (code == HCBT_ACTIVATE && GetClassNameA(box, kind, sizeof kind) &&
      lstrcmpA(kind, "#32770") == 0) {
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
    boxes.push_back(std::string(caption) + ": " + text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The sample picture of the loading tests, 6 × 4 pixels: in 8 bits indices into a palette of
// 12 colours, in more the colours themselves.
uint32_t Colour(uint32_t index) { return index * 0x150B13; }
uint32_t IndexAt(int32_t x, int32_t y) { return uint32_t(x * 3 + y * 7) % 12; }

std::vector<uint8_t> Bmp(uint16_t bits = 24, bool topDown = false) {
  BmpRecipe recipe{40, 6, topDown ? -4 : 4, bits, 0, 0, {}, {}, {}};
  for (uint32_t i = 0; bits == 8 && i < 12; ++i) recipe.palette.push_back(Colour(i));
  recipe.colorsUsed = static_cast<uint32_t>(recipe.palette.size());
  const auto value = [bits](int32_t x, int32_t y) {
    return bits == 8 ? IndexAt(x, y) : Colour(IndexAt(x, y));
  };
  recipe.pixelData = topDown ? PackRowsTopDown(6, 4, bits, value) : PackRows(6, 4, bits, value);
  return BuildBmp(recipe);
}

std::vector<uint8_t> Plugin(TestPluginBehaviour behaviour, uint16_t bits = 24,
                            bool topDown = false) {
  return BuildTestPluginFile(behaviour, Bmp(bits, topDown));
}

}  // namespace

// A 600-dpi A4 colour page; the loaded image lets go of its bitmap and memory DC.
TEST(ImageFiles, WrittenPicturesLoadBackWithTheSamePixels) {
  TempFolder folder;
  ImageBuffer page;
  ASSERT_TRUE(CreateImageBuffer(&page, 4960, 24, 7016));
  const size_t size = size_t{3} * page.width * page.height;  // rows without padding
  for (size_t i = 0; i < size; ++i) page.pixels[i] = static_cast<uint8_t>((i * 7) ^ (i >> 13));
  for (const Writer writer : {Writer::kBmp, Writer::kVqi}) {
    SCOPED_TRACE(int(writer));
    ASSERT_TRUE(Write(writer, folder.Path("page"), page));
    ImageBuffer loaded;
    ASSERT_TRUE(LoadImageFile(&loaded, folder.Path("page").c_str()));
    ASSERT_TRUE(loaded.width == page.width && loaded.height == page.height);
    ASSERT_EQ(0, std::memcmp(loaded.pixels, page.pixels, size));
    const HGDIOBJ objects[] = {loaded.memoryDC, loaded.bitmap};
    FreeImageBuffer(&loaded);  // and once more as it goes
    EXPECT_EQ(loaded.kind, kImageEmpty);
    EXPECT_EQ(GetObjectType(objects[0]) | GetObjectType(objects[1]), 0u);
  }
}

// Whatever goes wrong, a writer leaves no half-written or temporary file, and an existing
// file as it was.
TEST(ImageFiles, AFailedWriteLeavesNoFileAndTheOldOneIntact) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 4));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  const std::string kept = folder.Path("kept");
  for (const Writer writer : {Writer::kBmp, Writer::kVqi, Writer::kPng}) {
    SCOPED_TRACE(int(writer));
    ASSERT_TRUE(WriteBytes(kept, old));
    // Another program has it open.
    HANDLE held = CreateFileA(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(Write(writer, kept, image));
    CloseHandle(held);
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Write(writer, kept, image));
    EXPECT_EQ(ReadBytes(kept), old);
    EXPECT_FALSE(FileExists(TemporarySiblingPath(kept.c_str(), 0)));
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL));

    // The longest path the system takes is replaced too, past a temporary name in use.
    const std::string longest =
        folder.Path(std::string(MAX_PATH - 1 - folder.Path("").size(), 'n'));
    const std::string inUse = TemporarySiblingPath(longest.c_str(), 0);
    ASSERT_TRUE(WriteBytes(longest, old) && WriteBytes(inUse, old));
    EXPECT_TRUE(Write(writer, longest, image));
    EXPECT_NE(ReadBytes(longest), old);
    EXPECT_EQ(ReadBytes(inUse), old);
    DeleteFileA(inUse.c_str());
  }
}

// A document streamed page by page replaces the file only when committed; given up, it leaves
// the old file whole and nothing beside it.
TEST(ImageFiles, AStreamedDocumentReplacesTheFileOnlyWhenCommitted) {
  TempFolder folder;
  const std::string path = folder.Path("scan.pdf");
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  ASSERT_TRUE(WriteBytes(path, old));
  ImageBuffer page;
  ASSERT_TRUE(CreateImageBuffer(&page, 8, 24, 8));
  for (const bool commit : {false, true}) {
    {
      FileReplacement file;
      PdfWriter pdf;
      ASSERT_TRUE(BeginFileReplacement(&file, path.c_str()));
      BeginPdf(&pdf, FileReplacementSink(&file), {u"scan", {}});
      ASSERT_TRUE(AddPdfPage(&pdf, page, 0, 0) && FinishPdf(&pdf));
      EXPECT_TRUE(!commit || CommitFileReplacement(&file));
    }
    const std::vector<uint8_t> written = ReadBytes(path);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 3), commit ? "%PD" : "old");
    EXPECT_FALSE(FileExists(TemporarySiblingPath(path.c_str(), 0)));
  }
}

// The content decides which reader takes a file, the plug-ins' endings in any case; a reader
// that refuses lets the later ones try, and a plug-in module that cannot be used is reported
// with its name as the caption. Plug-ins' plain 24-bit rows are copied, other depths converted
// by the system; all come out upright, the system's picture decoder's too. The name and whether the
// file can be read decide what the viewer lists as pictures.
TEST(ImageFiles, EveryReaderTakesWhatItCanAndTheRestIsRefusedOrReported) {
  char settings[kSettingsPathSize];
  ASSERT_TRUE(GetSettingsPath(settings));
  // The plug-in section as a user writes it.
  const std::string section =
      "[spi]\r\n.bmp=testplugin.dll\r\n.plg=testplugin.dll\r\n.none=\r\n.abs=absent-plugin.dll\r\n"
      ".nis=testplugin-no-issupported.dll\r\n.ngp=testplugin-no-getpicture.dll\r\n";
  ASSERT_TRUE(WriteBytes(settings, {section.begin(), section.end()}));
  TempFolder folder;
  const std::vector<uint8_t> bmp = Bmp(), jpeg = ReadBytes(PicturePath("baseline.jpg"));
  ImageBuffer image;
  ASSERT_TRUE(WriteBytes(folder.Path("sample"), bmp) &&
              LoadImageFile(&image, folder.Path("sample").c_str()) &&
              Write(Writer::kVqi, folder.Path("coded"), image));
  // Bit fields without a mask bit pass the BMP checks, but the system's conversion, which its
  // picture decoder shares, refuses them.
  const std::vector<uint8_t> coded = ReadBytes(folder.Path("coded")),
                             masks = BuildBmp(
                                 {40, 4, 2, 32, 3, 0, {}, {0, 0, 0}, std::vector<uint8_t>(32)});
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool loads, listed;
    std::vector<std::string> reported;
  } files[] = {
      {"bitmap.vqi", bmp, true, true, {}},
      {"bitmap.txt", bmp, true, false, {}},
      {"coded.bmp", coded, true, true, {}},
      {"写真.PLG", Plugin(kDecode), true, true, {}},
      {"8 bits.plg", Plugin(kDecode, 8, true), true, true, {}},
      {"bitmap.none", bmp, true, true, {": Error: Load"}},
      {"photo.bmp", jpeg, true, true, {}},
      {"cut.jpg", {jpeg.begin(), jpeg.begin() + 20}, false, true, {}},
      {"masks.bmp", masks, false, true, {}},
      {"text.bmp", {'h', 'e', 'l', 'l', 'o'}, false, true, {}},
      {"empty.bmp", {}, false, false, {}},
      {"held.bmp", bmp, false, false, {}},
      {"folder.bmp", {}, false, false, {}},
      {"refused.plg", Plugin(kRefuse), false, true, {}},
      {"failed.plg", Plugin(kFail), false, true, {}},
      {"null.plg", Plugin(kNullHandles), false, true, {}},
      {"unlockable.plg", Plugin(kUnlockableHandles), false, true, {}},
      {"one handle.plg", Plugin(kOneHandleForBoth), false, true, {}},
      {"picture.abs", Plugin(kDecode), false, true, {"absent-plugin.dll: Error: Load"}},
      {"picture.nis", Plugin(kDecode), false, true, {"testplugin-no-issupported.dll: Error: Load"}},
      {"picture.ngp", Plugin(kDecode), false, true, {"testplugin-no-getpicture.dll: Error: Load"}}};
  for (const auto& file : files) ASSERT_TRUE(WriteBytes(folder.Path(file.name), file.bytes));
  DeleteFileA(folder.Path("folder.bmp").c_str());
  CreateDirectoryA(folder.Path("folder.bmp").c_str(), nullptr);
  HANDLE held = CreateFileA(folder.Path("held.bmp").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  const HHOOK hook = SetWindowsHookExA(WH_CBT, CloseMessageBoxes, nullptr, GetCurrentThreadId());
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    ImageBuffer loaded;
    EXPECT_EQ(LoadImageFile(&loaded, folder.Path(file.name).c_str()), file.loads);
    EXPECT_EQ(std::exchange(boxes, {}), file.reported);
    EXPECT_EQ(IsLoadableImageFile(folder.Path(file.name).c_str()), file.listed);
    EXPECT_EQ(loaded.kind, file.loads ? kImage24 : kImageEmpty);
    EXPECT_EQ(GetObjectType(loaded.bitmap), file.loads ? DWORD{OBJ_BITMAP} : 0u);
    if (file.bytes == jpeg) {  // 100 × 50 at a 96-dpi display, red at the top left: upright
      EXPECT_TRUE(loaded.width == 100 && loaded.height == 50 &&
                  (PixelAt(loaded, 3, 3) & 0xE0E0E0) == 0xE00000);
      continue;
    }
    for (int32_t i = 0; file.loads && i < 24; ++i) {
      ASSERT_TRUE(loaded.width == 6 && loaded.height == 4);
      ASSERT_EQ(PixelAt(loaded, i % 6, i / 6), Colour(IndexAt(i % 6, i / 6))) << "pixel " << i;
    }
  }
  UnhookWindowsHookEx(hook);
  CloseHandle(held);
  EXPECT_FALSE(LoadImageFile(&image, folder.Path("held.bmp").c_str()));  // never replaces
  EXPECT_EQ(GetModuleHandleA("testplugin.dll"), nullptr);                // unloaded after each use
  DeleteFileA(settings);
}
