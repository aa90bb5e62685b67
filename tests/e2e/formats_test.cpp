#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/fixtures/test_plugin_file.h"

namespace {

class Formats : public ViewerTest {
 protected:
  // Copies a file that the build made beside the Windows tests into the test's folder.
  std::string CopyFromWindowsTests(const std::string& name) {
    const std::string from = BuiltFile("tests\\win\\" + name);
    const std::string to = folder_.Path(name.substr(name.rfind('\\') + 1));
    EXPECT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
    return to;
  }

  std::string WritePluginPicture(const std::string& name, int width, int height) {
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.pixelData = PackRows(width, height, 24, CodedColor);
    const std::string path = folder_.Path(name);
    WriteBytes(path, BuildTestPluginFile(TestPluginBehaviour::kDecode, BuildBmp(recipe)));
    return path;
  }
};

bool Near(uint32_t actual, uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    const int a = actual >> shift & 0xFF;
    const int e = expected >> shift & 0xFF;
    if (a - e > 24 || e - a > 24) return false;
  }
  return true;
}

}  // namespace

TEST_F(Formats, AJpegNamedOnTheCommandLineShows) {
  const std::string jpeg = CopyFromWindowsTests("pictures\\baseline.jpg");
  ASSERT_TRUE(pelora_.Start(Quoted(jpeg)));
  EXPECT_EQ(pelora_.Title(), "baseline.jpg - Pelora");
  const ScreenPixels view = CaptureClient(pelora_.View());
  const ViewRect picture = ActualSizePictureRect({100, 50}, {view.width, view.height});
  EXPECT_TRUE(Near(view.At(picture.left + 10, picture.top + 10), 0xFF0000));
  EXPECT_TRUE(Near(view.At(picture.left + 90, picture.top + 10), 0x0000FF));
  EXPECT_TRUE(Near(view.At(picture.left + 50, picture.top + 45), 0x00FF00));
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(Formats, PluginPicturesShowAndCountAsImagesOfTheFolder) {
  CopyFromWindowsTests("testplugin.dll");
  WriteSettings(pelora_.SettingsPath(), "[spi]\r\n.plgt=testplugin.dll\r\n");
  const std::string plugged = WritePluginPicture("plugged.plgt", 260, 90);
  WriteCodedImage("plain.bmp", 250, 80);
  WriteBytes(folder_.Path("other.tif"), {'x'});

  ASSERT_TRUE(pelora_.Start(Quoted(plugged)));
  const ScreenPixels view = CaptureClient(pelora_.View());
  ASSERT_EQ(view.width, 260);
  EXPECT_EQ(view.At(7, 5), CodedColor(7, 5));
  EXPECT_EQ(view.At(259, 89), CodedColor(259, 89));

  // The folder holds two images; stepping twice comes back to the plug-in picture.
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), "plain.bmp - Pelora");
  pelora_.Command(ID_FILE_NEXT);
  EXPECT_EQ(pelora_.Title(), "plugged.plgt - Pelora");
  EXPECT_EQ(pelora_.Close(), 0u);
}
