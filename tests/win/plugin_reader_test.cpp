#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "shell/settings.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/fixtures/test_plugin_file.h"
#include "tests/win/message_box_closer.h"
#include "tests/win/temp_folder.h"

namespace {

using Behaviour = TestPluginBehaviour;

constexpr const char* kPlugin = "testplugin.dll";
constexpr const char* kRefusingPlugin = "testplugin-refusing.dll";

uint32_t Rgb(int32_t x, int32_t y) { return uint32_t(x * 40) << 16 | uint32_t(y * 50) << 8 | 0x5A; }

uint32_t PixelAt(const ImageBuffer& image, int32_t x, int32_t y) {
  const uint8_t* p = image.pixels + (image.height - 1 - y) * image.stride + 3 * x;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// A BMP file of 5 × 3 pixels of Rgb, rows in either order.
std::vector<uint8_t> Bmp24(bool topDown = false) {
  BmpRecipe recipe;
  recipe.width = 5;
  recipe.height = topDown ? -3 : 3;
  recipe.pixelData = topDown ? PackRowsTopDown(5, 3, 24, Rgb) : PackRows(5, 3, 24, Rgb);
  return BuildBmp(recipe);
}

std::vector<uint8_t> Plugin24(Behaviour behaviour = Behaviour::kDecode, bool topDown = false) {
  return BuildTestPluginFile(behaviour, Bmp24(topDown));
}

class PluginReader : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSettingsPath(settings_));
    DeleteFileA(settings_);
  }
  void TearDown() override {
    DeleteFileA(settings_);
    EXPECT_EQ(GetModuleHandleA(kPlugin), nullptr) << "a plug-in stayed loaded";
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

  void ExpectRgbImage(const ImageBuffer& image) {
    ASSERT_EQ(image.kind, kImage24);
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 5; ++x) ASSERT_EQ(PixelAt(image, x, y), Rgb(x, y)) << x << "," << y;
    }
  }

  void ExpectLoadReported(const std::string& caption) {
    const std::vector<SeenMessageBox> seen = boxes_.TakeSeen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, caption);
    EXPECT_EQ(seen[0].text, "Error: Load");
  }

  char settings_[kSettingsPathSize];
  TempFolder folder_;
  MessageBoxCloser boxes_;
};

}  // namespace

TEST_F(PluginReader, ChosenByEndingWithoutRegardToCase) {
  UsePlugin(".PlG", kPlugin);
  for (const char* name : {"picture.plg", "PICTURE.PLG", "写真.Plg"}) {
    ImageBuffer image;
    ASSERT_TRUE(Load(name, Plugin24(), &image)) << name;
    ExpectRgbImage(image);
  }
  ImageBuffer image;
  EXPECT_FALSE(Load("picture.plgx", Plugin24(), &image));
  EXPECT_EQ(image.kind, kImageEmpty);
}

TEST_F(PluginReader, TwentyFourBitResultsInEitherRowOrderLoadUpright) {
  UsePlugin(".plg", kPlugin);
  ImageBuffer bottomUp;
  ASSERT_TRUE(Load("bottom-up.plg", Plugin24(), &bottomUp));
  ExpectRgbImage(bottomUp);
  ImageBuffer topDown;
  ASSERT_TRUE(Load("top-down.plg", Plugin24(Behaviour::kDecode, true), &topDown));
  ExpectRgbImage(topDown);
}

TEST_F(PluginReader, OtherDepthsAreConverted) {
  UsePlugin(".plg", kPlugin);
  std::vector<uint32_t> palette;
  for (uint32_t i = 0; i < 256; ++i) palette.push_back((i * 37 & 0xFF) << 16 | (255 - i) << 8 | i);
  auto index = [](int32_t x, int32_t y) { return uint32_t(x * 3 + y * 7) % 12; };

  for (uint16_t bits : {1, 4, 8}) {
    for (bool topDown : {false, true}) {
      BmpRecipe recipe;
      recipe.width = 6;
      recipe.height = topDown ? -4 : 4;
      recipe.bitCount = bits;
      const uint32_t entries = bits == 1 ? 2 : 12;
      recipe.palette.assign(palette.begin(), palette.begin() + entries);
      recipe.colorsUsed = entries == (1u << bits) ? 0 : entries;
      auto value = [&](int32_t x, int32_t y) { return index(x, y) % entries; };
      recipe.pixelData = topDown ? PackRowsTopDown(6, 4, bits, value) : PackRows(6, 4, bits, value);
      ImageBuffer image;
      ASSERT_TRUE(
          Load("indexed.plg", BuildTestPluginFile(Behaviour::kDecode, BuildBmp(recipe)), &image))
          << bits << " bits, top-down " << topDown;
      ASSERT_EQ(image.width, 6);
      ASSERT_EQ(image.height, 4);
      for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
          ASSERT_EQ(PixelAt(image, x, y), palette[value(x, y)])
              << bits << " bits, top-down " << topDown << ", pixel " << x << "," << y;
        }
      }
    }
  }

  BmpRecipe rgb32;
  rgb32.width = 5;
  rgb32.height = 3;
  rgb32.bitCount = 32;
  rgb32.pixelData = PackRows(5, 3, 32, Rgb);
  ImageBuffer image;
  ASSERT_TRUE(Load("rgb32.plg", BuildTestPluginFile(Behaviour::kDecode, BuildBmp(rgb32)), &image));
  ExpectRgbImage(image);
}

TEST_F(PluginReader, OnlyTheFirstMatchingKeyIsTried) {
  UsePlugin("e.plg", kRefusingPlugin);
  UsePlugin(".plg", kPlugin);
  ImageBuffer image;
  EXPECT_FALSE(Load("picture.plg", Plugin24(), &image));
  EXPECT_EQ(image.kind, kImageEmpty);
  ASSERT_TRUE(Load("photo.plg", Plugin24(), &image));
  ExpectRgbImage(image);
}

TEST_F(PluginReader, ValuesBeginningWithAQuestionMarkAreSkipped) {
  UsePlugin("e.plg", "?");
  UsePlugin("re.plg", "?testplugin-refusing.dll");
  UsePlugin(".plg", kPlugin);
  ImageBuffer image;
  ASSERT_TRUE(Load("picture.plg", Plugin24(), &image));
  ExpectRgbImage(image);
}

TEST_F(PluginReader, ARefusingPluginLetsTheLaterReadersLoad) {
  UsePlugin(".bmp", kPlugin);  // asked first, refuses what is not its own format
  UsePlugin(".plg", kPlugin);
  ImageBuffer bmp;
  ASSERT_TRUE(Load("picture.bmp", Bmp24(), &bmp));
  ExpectRgbImage(bmp);
  ImageBuffer refused;
  EXPECT_FALSE(Load("refused.plg", Plugin24(Behaviour::kRefuse), &refused));
  EXPECT_EQ(refused.kind, kImageEmpty);
}

TEST_F(PluginReader, AModuleThatCannotBeLoadedIsReported) {
  UsePlugin(".plg", "");
  UsePlugin(".plx", "absent-plugin.dll");
  // The message does not stop the later readers: these files are BMPs.
  ImageBuffer image;
  ASSERT_TRUE(Load("picture.plg", Bmp24(), &image));
  ExpectRgbImage(image);
  ExpectLoadReported("");
  ImageBuffer other;
  EXPECT_FALSE(Load("picture.plx", Plugin24(), &other));
  EXPECT_EQ(other.kind, kImageEmpty);
  ExpectLoadReported("absent-plugin.dll");
}

TEST_F(PluginReader, AModuleWithoutBothExportsIsReportedAndUnloaded) {
  UsePlugin(".nis", "testplugin-no-issupported.dll");
  UsePlugin(".ngp", "testplugin-no-getpicture.dll");
  ImageBuffer image;
  EXPECT_FALSE(Load("picture.nis", Plugin24(), &image));
  ExpectLoadReported("testplugin-no-issupported.dll");
  EXPECT_FALSE(Load("picture.ngp", Plugin24(), &image));
  ExpectLoadReported("testplugin-no-getpicture.dll");
  EXPECT_EQ(image.kind, kImageEmpty);
  EXPECT_EQ(GetModuleHandleA("testplugin-no-issupported.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("testplugin-no-getpicture.dll"), nullptr);
}

TEST_F(PluginReader, FailedOrUnusableResultsAreRefused) {
  UsePlugin(".plg", kPlugin);
  std::vector<uint8_t> shortPixels = Plugin24();
  shortPixels.pop_back();
  std::vector<std::vector<uint8_t>> files = {shortPixels};
  for (Behaviour behaviour : {Behaviour::kFail, Behaviour::kNullHandles,
                              Behaviour::kUnlockableHandles, Behaviour::kOneHandleForBoth}) {
    files.push_back(Plugin24(behaviour));
  }
  for (size_t i = 0; i < files.size(); ++i) {
    ImageBuffer image;
    EXPECT_FALSE(Load("broken.plg", files[i], &image)) << "file " << i;
    EXPECT_EQ(image.kind, kImageEmpty) << "file " << i;
  }
}

TEST_F(PluginReader, ModuleNamesTooLongToHoldAreRefusedNotCut) {
  // The first 63 bytes of the configured name name a real module, which must not be used.
  const std::string cut = std::string(59, 'p') + ".dll";
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  const std::string folder(program, std::strrchr(program, '\\') + 1);
  struct RemovedAfterwards {
    ~RemovedAfterwards() { DeleteFileA(path.c_str()); }
    std::string path;
  } copy{folder + cut};
  ASSERT_TRUE(CopyFileA((folder + kPlugin).c_str(), copy.path.c_str(), FALSE));

  const std::string configured = cut + "x";
  UsePlugin(".plg", configured);
  ImageBuffer image;
  EXPECT_FALSE(Load("picture.plg", Plugin24(), &image));
  EXPECT_EQ(image.kind, kImageEmpty);
  ExpectLoadReported(configured);

  UsePlugin(".plg", cut);  // 63 bytes: held whole
  ASSERT_TRUE(Load("picture.plg", Plugin24(), &image));
  ExpectRgbImage(image);
}
