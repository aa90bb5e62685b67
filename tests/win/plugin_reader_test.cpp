#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "shell/settings.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/fixtures/test_plugin_file.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"

namespace {

using enum TestPluginBehaviour;

// Presses OK on every message box this thread shows, noting each as "caption: text".
class MessageBoxCloser {
 public:
  MessageBoxCloser() : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {}
  ~MessageBoxCloser() { UnhookWindowsHookEx(hook_); }

  // The boxes closed so far, oldest first; forgets them.
  std::vector<std::string> TakeSeen() { return std::exchange(seen_, {}); }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const HWND box = reinterpret_cast<HWND>(wParam);
    char className[16] = "", caption[256] = "", text[512] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
        lstrcmpA(className, "#32770") == 0) {
      GetWindowTextA(box, caption, sizeof caption);
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
      seen_.push_back(std::string(caption) + ": " + text);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline std::vector<std::string> seen_;
  HHOOK hook_;
};

uint32_t Colour(uint32_t index) { return index * 0x150B13; }
uint32_t IndexAt(int32_t x, int32_t y) { return uint32_t(x * 3 + y * 7) % 12; }

// 6 × 4 pixels: in 8 bits indices into a palette of 12 colours, in more the colours themselves.
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

// The ending chooses the module, in any case. Plain 24-bit rows are copied, other depths
// converted by the system; all come out upright. A refusal lets the later readers try; a module
// that cannot be used is reported with its name as the caption. No module stays loaded.
TEST(PluginReader, TheEndingChoosesTheModuleAndFailuresAreRefusedOrReported) {
  char settings[kSettingsPathSize];
  ASSERT_TRUE(GetSettingsPath(settings));
  DeleteFileA(settings);
  for (const auto& [ending, module] : {std::pair{".bmp", "testplugin.dll"},
                                       {".plg", "testplugin.dll"},
                                       {".none", ""},
                                       {".abs", "absent-plugin.dll"},
                                       {".nis", "testplugin-no-issupported.dll"},
                                       {".ngp", "testplugin-no-getpicture.dll"}}) {
    ASSERT_TRUE(WriteSettingString("spi", ending, module));
  }
  TempFolder folder;
  MessageBoxCloser boxes;
  std::vector<uint8_t> shortPixels = Plugin(kDecode);
  shortPixels.pop_back();
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool loads;
    std::vector<std::string> reported;
  } files[] = {
      {"写真.PLG", Plugin(kDecode), true, {}},
      {"top-down.plg", Plugin(kDecode, 24, true), true, {}},
      {"32 bits.plg", Plugin(kDecode, 32), true, {}},
      {"8 bits.plg", Plugin(kDecode, 8, true), true, {}},
      {"bitmap.bmp", Bmp(), true, {}},
      {"refused.plg", Plugin(kRefuse), false, {}},
      {"failed.plg", Plugin(kFail), false, {}},
      {"null.plg", Plugin(kNullHandles), false, {}},
      {"unlockable.plg", Plugin(kUnlockableHandles), false, {}},
      {"one handle.plg", Plugin(kOneHandleForBoth), false, {}},
      {"short.plg", shortPixels, false, {}},
      {"bitmap.none", Bmp(), true, {": Error: Load"}},
      {"picture.abs", Plugin(kDecode), false, {"absent-plugin.dll: Error: Load"}},
      {"picture.nis", Plugin(kDecode), false, {"testplugin-no-issupported.dll: Error: Load"}},
      {"picture.ngp", Plugin(kDecode), false, {"testplugin-no-getpicture.dll: Error: Load"}}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    ASSERT_TRUE(WriteBytes(folder.Path(file.name), file.bytes));
    ImageBuffer image;
    EXPECT_EQ(LoadImageFile(&image, folder.Path(file.name).c_str()), file.loads);
    EXPECT_EQ(boxes.TakeSeen(), file.reported);
    if (!file.loads) {
      EXPECT_EQ(image.kind, kImageEmpty);
      continue;
    }
    ASSERT_TRUE(image.kind == kImage24 && image.width == 6 && image.height == 4);
    for (int32_t i = 0; i < 24; ++i) {
      ASSERT_EQ(PixelAt(image, i % 6, i / 6), Colour(IndexAt(i % 6, i / 6))) << "pixel " << i;
    }
  }
  EXPECT_TRUE(IsLoadableImageFile(folder.Path("写真.PLG").c_str()));  // the viewer lists it
  for (const char* module :
       {"testplugin.dll", "testplugin-no-issupported.dll", "testplugin-no-getpicture.dll"}) {
    EXPECT_EQ(GetModuleHandleA(module), nullptr) << module;
  }
  DeleteFileA(settings);
}
