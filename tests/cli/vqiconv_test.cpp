// Runs the vqiconv program of this build as a user would, through the system's shell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "tests/fixtures/bmp_builder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// What follows the 54-byte header of a 24-bit BMP file.
std::string PixelsOf(const fs::path& path) { return ReadAll(path).substr(54); }

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kProgram = fs::path(VQICONV_PATH).make_preferred().string();

uint32_t Sample(int32_t x, int32_t y) { return uint32_t(x * 0x0A0B0C + y * 0x403020) & 0xFFFFFF; }

// Each test runs in a folder of its own, with a 7 × 5 picture in.bmp and text in text.bmp.
class Vqiconv : public ::testing::Test {
 protected:
  // A new folder for every run: a converter left hanging by an earlier try (Wine under
  // processor emulation, now and then) may still hold the files of its folder.
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("pelora-vqiconv-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_ / "out");
    fs::current_path(folder_);
    const std::vector<uint8_t> bmp =
        BuildBmp({40, 7, 5, 24, 0, 0, {}, {}, PackRows(7, 5, 24, Sample)});
    WriteAll("in.bmp", {bmp.begin(), bmp.end()});
    WriteAll("text.bmp", "hello");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder_, ignored);
  }

  // Runs vqiconv in the test's folder with the arguments; gives its exit code. Its output goes
  // to files new for every run: under Wine a finished converter may hold its own a while longer.
  int Run(const std::string& arguments) {
    const std::string out = "out" + std::to_string(++runs_), err = "err" + std::to_string(runs_);
    const int status = std::system(
        (std::string("\"") + kProgram + "\" " + arguments + " >" + out + " 2>" + err).c_str());
    output_ = ReadAll(out);
    errors_ = ReadAll(err);
    std::erase(output_, '\r');  // lines end in CR LF on Windows
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  }

  fs::path folder_;
  int runs_ = 0;
  std::string output_, errors_;
};

// A user's road: help, one file there and back, a VQI file and a run-length BMP as input, and
// what info tells.
TEST_F(Vqiconv, ConvertsThereAndBackAndDescribesWhatItWrote) {
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_EQ(output_.rfind("usage:", 0), 0u) << output_;
  ASSERT_EQ(Run("encode --mode rgb --transparent 0,255,0 in.bmp out.vqi"), 0) << errors_;
  ASSERT_EQ(Run("decode out.vqi back.bmp"), 0) << errors_;
  EXPECT_EQ(PixelsOf("back.bmp"), PixelsOf("in.bmp"));
  ASSERT_EQ(Run("encode --mode gray --no-rle --no-huffman --alpha-image in.bmp out.vqi g.vqi"), 0);
  // Two red pixels of a run; an 8-bit run-length BMP, decoded to 24 bits and padded.
  const std::vector<uint8_t> rle =
      BuildBmp({40, 2, 1, 8, 1, 2, {0x102030, 0xFF0000}, {}, {2, 1, 0, 1}});
  WriteAll("rle.bmp", {rle.begin(), rle.end()});
  ASSERT_EQ(Run("encode --mode rgb rle.bmp rle.vqi"), 0) << errors_;
  ASSERT_EQ(Run("decode rle.vqi rle-back.bmp"), 0) << errors_;
  EXPECT_EQ(PixelsOf("rle-back.bmp"), std::string("\0\0\xFF\0\0\xFF\0\0", 8));
  // PNG there and back.
  ASSERT_EQ(Run("decode out.vqi back.png"), 0) << errors_;
  ASSERT_EQ(Run("encode --mode rgb back.png png.vqi"), 0) << errors_;
  ASSERT_EQ(Run("decode png.vqi png-back.bmp"), 0) << errors_;
  EXPECT_EQ(PixelsOf("png-back.bmp"), PixelsOf("in.bmp"));
  EXPECT_EQ(ReadAll("back.png").substr(1, 3), "PNG");
  ASSERT_EQ(Run("info g.vqi"), 0);
  EXPECT_EQ(output_,
            "width: 7\nheight: 5\ncolour model: 1 grayscale with alpha\nplanes: 2\n"
            "plane 0: 35 bytes, stages: delta\nplane 1: 35 bytes, stages: delta\n");
}

// Many files into a folder: one line for each that fails, the others converted all the same.
TEST_F(Vqiconv, ManyFilesIntoAFolder) {
  fs::create_directories("other");
  fs::copy_file("in.bmp", "second.bmp");
  fs::copy_file("in.bmp", "other/in.bmp");
  // Two good files, one unreadable, one whose output the first already has.
  EXPECT_EQ(Run("encode --mode rgb in.bmp text.bmp second.bmp other/in.bmp --out-dir out"), 1);
  EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 2) << errors_;
  EXPECT_NE(errors_.find("text.bmp: not a BMP"), std::string::npos) << errors_;
  EXPECT_NE(errors_.find("other/in.bmp"), std::string::npos) << errors_;
  ASSERT_EQ(Run("decode out/in.vqi out/second.vqi --out-dir out"), 0) << errors_;
  EXPECT_EQ(PixelsOf("out/in.bmp"), PixelsOf("in.bmp"));
  EXPECT_EQ(PixelsOf("out/second.bmp"), PixelsOf("in.bmp"));
  EXPECT_EQ(Run("encode out/in.vqi --out-dir out"), 1);
  EXPECT_NE(errors_.find("in.vqi would replace an input"), std::string::npos) << errors_;
}

// Bad input and bad usage: exit code 1, one line naming the file and why, and no output file.
TEST_F(Vqiconv, RefusesWithOneLineAndWritesNothing) {
  WriteAll("cut.vqi", std::string("VQI0\0\0\0", 7));
  WriteAll("cut.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
  const struct {
    const char *arguments, *says;
  } failures[] = {{"encode missing.bmp out.vqi", "missing.bmp: cannot read"},
                  {"encode text.bmp out.vqi", "text.bmp: not a BMP, PNG or VQI image"},
                  {"encode cut.png out.vqi", "cut.png: damaged PNG file"},
                  {"decode in.bmp out.bmp", "in.bmp: not a VQI file"},
                  {"decode cut.vqi out.bmp", "cut.vqi: damaged VQI file"},
                  {"info cut.vqi", "cut.vqi: not a VQI file, or its header is damaged"},
                  {"encode in.bmp missing/out.vqi", "out.vqi: cannot write"},
                  {"decode out.vqi --out-dir missing", "missing"},
                  {"", "--help"},
                  {"convert a b", "--help"},
                  {"encode in.bmp", "--help"},
                  {"encode --mode cmyk in.bmp out.vqi", "--help"},
                  {"encode --transparent 300,0,0 in.bmp out.vqi", "--help"},
                  {"encode --transparent 1,2,3 --alpha-image in.bmp in.bmp out.vqi", "--help"}};
  for (const auto& failure : failures) {
    EXPECT_EQ(Run(failure.arguments), 1) << failure.arguments;
    EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 1) << errors_;
    EXPECT_NE(errors_.find(failure.says), std::string::npos) << errors_;
    EXPECT_FALSE(fs::exists("out.vqi") || fs::exists("out.bmp"));
  }
}

}  // namespace
