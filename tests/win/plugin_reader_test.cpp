#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "shell/settings.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/fixtures/test_plugin_file.h"
#include "tests/win/message_box_closer.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"

namespace {

using Behaviour = TestPluginBehaviour;

uint32_t Colour(uint32_t index) { return index * 0x150B13; }
uint32_t Entries(uint16_t bits) { return bits == 1 ? 2 : 12; }
uint32_t IndexAt(int32_t x, int32_t y, uint16_t bits) {
  return uint32_t(x * 3 + y * 7) % Entries(bits);
}

// 6 × 4 pixels in the given depth and row order: palette indices up to 8 bits, colours above.
std::vector<uint8_t> Bmp(uint16_t bits = 24, bool topDown = false) {
  BmpRecipe recipe{40, 6, topDown ? -4 : 4, bits, 0, 0, {}, {}, {}};
  for (uint32_t i = 0; bits <= 8 && i < Entries(bits); ++i) recipe.palette.push_back(Colour(i));
  recipe.colorsUsed = bits == 4 || bits == 8 ? Entries(bits) : 0;
  auto value = [&](int32_t x, int32_t y) {
    return bits <= 8 ? IndexAt(x, y, bits) : Colour(IndexAt(x, y, bits));
  };
  recipe.pixelData = topDown ? PackRowsTopDown(6, 4, bits, value) : PackRows(6, 4, bits, value);
  return BuildBmp(recipe);
}

std::vector<uint8_t> Plugin(Behaviour behaviour = Behaviour::kDecode, uint16_t bits = 24,
                            bool topDown = false) {
  return BuildTestPluginFile(behaviour, Bmp(bits, topDown));
}

void ExpectPicture(const ImageBuffer& image, uint16_t bits = 24) {
  ASSERT_EQ(image.kind, kImage24);
  ASSERT_EQ(image.width, 6);
  ASSERT_EQ(image.height, 4);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      ASSERT_EQ(PixelAt(image, x, y), Colour(IndexAt(x, y, bits))) << "pixel " << x << "," << y;
    }
  }
}

// Each test starts without a settings file; the plug-in section is the test's own.
class PluginReader : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSettingsPath(settings_));
    DeleteFileA(settings_);
  }
  void TearDown() override {
    DeleteFileA(settings_);
    for (const char* module :
         {"testplugin.dll", "testplugin-no-issupported.dll", "testplugin-no-getpicture.dll"}) {
      EXPECT_EQ(GetModuleHandleA(module), nullptr) << module << " stayed loaded";
    }
    EXPECT_TRUE(boxes_.TakeSeen().empty()) << "a message box nobody expected";
  }

  void UsePlugin(const char* ending, const std::string& module) {
    ASSERT_TRUE(WriteSettingString("spi", ending, module.c_str()));
  }

  bool Load(const std::string& name, const std::vector<uint8_t>& bytes, ImageBuffer* image) {
    const std::string path = folder_.Path(name);
    EXPECT_TRUE(WriteBytes(path, bytes));
    return LoadImageFile(image, path.c_str());
  }

  char settings_[kSettingsPathSize];
  TempFolder folder_;
  MessageBoxCloser boxes_;
};

}  // namespace

// Plain 24-bit rows are copied, other depths converted by the system; both come out upright.
TEST_F(PluginReader, EveryDepthInEitherRowOrderLoadsUpright) {
  UsePlugin(".plg", "testplugin.dll");
  const struct {
    uint16_t bits;
    bool topDown;
  } depths[] = {{24, false}, {24, true}, {32, false}, {8, true}, {4, false}, {1, true}};
  for (const auto& depth : depths) {
    SCOPED_TRACE(std::to_string(depth.bits) + " bits, top-down " + std::to_string(depth.topDown));
    ImageBuffer image;
    ASSERT_TRUE(Load("picture.plg", Plugin(Behaviour::kDecode, depth.bits, depth.topDown), &image));
    ExpectPicture(image, depth.bits);
  }
}

// The ending chooses the module, in any case. A refusal lets the later readers try; a module that
// cannot be used is reported with its name as the caption, and unloaded.
TEST_F(PluginReader, TheEndingChoosesTheModuleAndFailuresAreRefusedOrReported) {
  UsePlugin(".bmp", "testplugin.dll");
  UsePlugin(".plg", "testplugin.dll");
  UsePlugin(".none", "");
  UsePlugin(".abs", "absent-plugin.dll");
  UsePlugin(".nis", "testplugin-no-issupported.dll");
  UsePlugin(".ngp", "testplugin-no-getpicture.dll");
  std::vector<uint8_t> shortPixels = Plugin();
  shortPixels.pop_back();
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool loads;
    const char* reported;
  } files[] = {{"写真.PLG", Plugin(), true, nullptr},
               {"bitmap.bmp", Bmp(), true, nullptr},
               {"refused.plg", Plugin(Behaviour::kRefuse), false, nullptr},
               {"failed.plg", Plugin(Behaviour::kFail), false, nullptr},
               {"null.plg", Plugin(Behaviour::kNullHandles), false, nullptr},
               {"unlockable.plg", Plugin(Behaviour::kUnlockableHandles), false, nullptr},
               {"one handle.plg", Plugin(Behaviour::kOneHandleForBoth), false, nullptr},
               {"short.plg", shortPixels, false, nullptr},
               {"bitmap.none", Bmp(), true, ": Error: Load"},
               {"picture.abs", Plugin(), false, "absent-plugin.dll: Error: Load"},
               {"picture.nis", Plugin(), false, "testplugin-no-issupported.dll: Error: Load"},
               {"picture.ngp", Plugin(), false, "testplugin-no-getpicture.dll: Error: Load"}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    ImageBuffer image;
    EXPECT_EQ(Load(file.name, file.bytes, &image), file.loads);
    EXPECT_EQ(image.kind, file.loads ? kImage24 : kImageEmpty);
    const std::vector<std::string> expected =
        file.reported ? std::vector<std::string>{file.reported} : std::vector<std::string>{};
    EXPECT_EQ(boxes_.TakeSeen(), expected);
  }
  EXPECT_TRUE(IsLoadableImageFile(folder_.Path("写真.PLG").c_str()));  // the viewer lists it
}
