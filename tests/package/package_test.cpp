// The download as a user gets it: the programs of the unpacked zip, started from the folder
// that tests/package/check-package unpacked it into (PELORA_PACKAGE_FOLDER).

#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/pelora_driver.h"

TEST(Package, BothProgramsRunFromTheUnpackedFolder) {
  ASSERT_NE(std::getenv("PELORA_PACKAGE_FOLDER"), nullptr);
  const std::string folder = std::getenv("PELORA_PACKAGE_FOLDER");
  // A scanned cover page: "表" ends in the byte of a backslash, which must not split the name.
  const std::string picture = folder + "\\表紙.bmp";
  ASSERT_TRUE(WriteTestBmp(picture, 300, 200, CodedColor));
  PeloraProgram pelora(folder);
  ASSERT_TRUE(pelora.Start(Quoted(picture)));
  EXPECT_EQ(pelora.Title(), "表紙.bmp - Pelora");
  EXPECT_EQ(pelora.Close(), 0u);
  EXPECT_EQ(SettingsInt(folder + "\\Pelora.ini", "SeriesSave", "SeriesNo", -1), 1);
  EXPECT_EQ(std::system((Quoted(folder + "\\vqiconv.exe") + " --help >NUL").c_str()), 0);

  // Wine cannot show what the manifest changes, so it is read from the file.
  HMODULE exe =
      LoadLibraryExA((folder + "\\Pelora.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                             SizeofResource(exe, found));
  FreeLibrary(exe);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("Settings\">true</dpiAware>"), std::string::npos);
}
