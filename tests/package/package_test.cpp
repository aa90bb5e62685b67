// The download as a user gets it: the programs of the unpacked zip, started from the folder
// that tests/package/check-package unpacked it into (PELORA_PACKAGE_FOLDER).

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/version.h"
#include "tests/e2e/pelora_driver.h"

namespace {

std::string PackageFolder() {
  const char* folder = std::getenv("PELORA_PACKAGE_FOLDER");
  return folder != nullptr ? folder : "";
}

}  // namespace

TEST(Package, BothProgramsRunFromTheUnpackedFolder) {
  const std::string folder = PackageFolder();
  ASSERT_FALSE(folder.empty()) << "PELORA_PACKAGE_FOLDER is not set";
  // A scanned cover page: "表" ends in the byte of a backslash, which must not split the name.
  const std::string picture = folder + "\\表紙.bmp";
  ASSERT_TRUE(WriteTestBmp(picture, 300, 200, CodedColor));
  PeloraProgram pelora(folder);
  ASSERT_TRUE(pelora.Start(Quoted(picture)));
  EXPECT_EQ(pelora.Title(), "表紙.bmp - Pelora");
  const ScreenPixels view = CaptureClient(pelora.View());
  ASSERT_EQ(view.width, 300);
  for (int y = 0; y < 200; y += 9) {
    for (int x = 0; x < 300; x += 7) ASSERT_EQ(view.At(x, y), CodedColor(x, y)) << x << "," << y;
  }
  EXPECT_EQ(pelora.Close(), 0u);
  EXPECT_EQ(SettingsInt(folder + "\\Pelora.ini", "SeriesSave", "SeriesNo", -1), 1);

  std::string out;
  EXPECT_EQ(RunConsoleProgram(Quoted(folder + "\\vqiconv.exe") + " --help", &out), 0u);
  EXPECT_EQ(out.rfind("usage:", 0), 0u) << out;
}

// Wine cannot show what the manifest changes (it reports every other process's windows as
// per-monitor aware, and scales nothing), so it is read from the file.
TEST(Package, BothProgramsCarryTheirVersionInJapaneseAndPeloraItsManifest) {
  const std::string folder = PackageFolder();
  HMODULE exe =
      LoadLibraryExA((folder + "\\Pelora.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                             SizeofResource(exe, found));
  FreeLibrary(exe);
  for (const char* entry : {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls",
                            "WindowsSettings\">true</dpiAware>",
                            "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // Windows 7
                            "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // 10 and 11
    EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
  }

  for (const auto& [file, description] : {std::pair{"Pelora.exe", "Pelora 画像ビューア"},
                                          std::pair{"vqiconv.exe", "VQI 変換ツール"}}) {
    const std::string path = folder + "\\" + file;
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, DWORD(info.size()), info.data())) << file;
    std::string values;
    for (const char* name : {"FileDescription", "OriginalFilename", "ProductVersion"}) {
      const std::string key = std::string("\\StringFileInfo\\041103a4\\") + name;
      char* value = nullptr;
      UINT length = 0;
      const bool found = VerQueryValueA(info.data(), key.c_str(), (void**)&value, &length);
      values += (found ? std::string(value) : "(missing)") + "|";
    }
    EXPECT_EQ(values, std::string(description) + "|" + file + "|" PELORA_VERSION "|");
  }
}
