// Runs the vqiconv program of this build as a user would, with its output in files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#else
#include <sys/wait.h>
#endif

#include "core/bmp_decoder.h"
#include "core/image_buffer.h"
#include "tests/fixtures/bmp_builder.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

uint32_t Sample(int32_t x, int32_t y) {
  return static_cast<uint32_t>(x * 0x0A0B0C + y * 0x403020) & 0xFFFFFF;
}

class Vqiconv : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // A folder of this run's own: a converter left hanging by an earlier try (Wine under
    // processor emulation, now and then) may still hold the files of its folder.
    const unsigned run = std::random_device{}();
    folder_ = fs::temp_directory_path() /
              (std::string("pelora-vqiconv-") + info->name() + "-" + std::to_string(run));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    BmpRecipe recipe;
    recipe.width = 7;
    recipe.height = 5;
    recipe.pixelData = PackRows(7, 5, 24, Sample);
    WriteAll(Path("in.bmp"), BuildBmp(recipe));
  }
  // What a converter still holds stays behind in the temporary folder.
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // Runs vqiconv with the arguments; gives its exit code, its output and its error output.
  int Run(const std::string& arguments) {
#ifdef _WIN32
    // Started directly and waited for. Under Wine a finished converter may hold its output
    // handles a while longer: the files are opened so that reading them is never refused.
    std::string commandLine = std::string("Z:") + VQICONV_PATH + " " + arguments;
    for (size_t i = 0; i < std::strlen(VQICONV_PATH) + 2; ++i) {
      if (commandLine[i] == '/') commandLine[i] = '\\';
    }
    const std::string out = Path("stdout-" + std::to_string(++runs_) + ".txt");
    const std::string err = Path("stderr-" + std::to_string(runs_) + ".txt");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE outFile = CreateFileA(out.c_str(), GENERIC_WRITE, kShareAll, &inherit,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE errFile = CreateFileA(err.c_str(), GENERIC_WRITE, kShareAll, &inherit,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process = {};
    DWORD exitCode = STILL_ACTIVE;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
      WaitForSingleObject(process.hProcess, INFINITE);
      GetExitCodeProcess(process.hProcess, &exitCode);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    CloseHandle(outFile);
    CloseHandle(errFile);
    const int code = static_cast<int>(exitCode);
#else
    const std::string out = Path("stdout.txt");
    const std::string err = Path("stderr.txt");
    const int status = std::system(
        (std::string("'") + VQICONV_PATH + "' " + arguments + " >'" + out + "' 2>'" + err + "'")
            .c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    const std::vector<uint8_t> outBytes = ReadAll(out);
    const std::vector<uint8_t> errBytes = ReadAll(err);
    output_.assign(outBytes.begin(), outBytes.end());
    errors_.assign(errBytes.begin(), errBytes.end());
    return code;
  }

  // The error output is one line that names the file and says why.
  void ExpectOneLineError(const std::string& file, const std::string& reason) {
    std::string text = errors_;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    EXPECT_EQ(text.find('\n'), std::string::npos) << errors_;
    EXPECT_NE(text.find(file), std::string::npos) << errors_;
    EXPECT_NE(text.find(reason), std::string::npos) << errors_;
  }

  fs::path folder_;
  int runs_ = 0;
  std::string output_;
  std::string errors_;
};

bool SamePixels(const std::string& a, const std::string& b) {
  const std::vector<uint8_t> first = ReadAll(a), second = ReadAll(b);
  ImageBuffer x, y;
  return DecodeBmpImage(first.data(), first.size(), &x) &&
         DecodeBmpImage(second.data(), second.size(), &y) && x.width == y.width &&
         x.height == y.height && std::equal(x.pixels, x.pixels + x.stride * x.height, y.pixels);
}

// A user's road, in pieces that each start the converter a few times only (under processor
// emulation every start takes seconds): help, one file there and back, a VQI file as input,
// what info tells, many files into a folder with one line for each that fails.
TEST_F(Vqiconv, ConvertsThereAndBack) {
  EXPECT_EQ(Run("--help"), 0);
  for (const char* word : {"encode", "decode", "info", "--mode", "--no-delta", "--no-rle",
                           "--no-huffman", "--transparent", "--alpha-image", "--out-dir"}) {
    EXPECT_NE(output_.find(word), std::string::npos) << word;
  }
  ASSERT_EQ(Run("encode --mode rgb " + Path("in.bmp") + " " + Path("out.vqi")), 0) << errors_;
  ASSERT_EQ(Run("decode " + Path("out.vqi") + " " + Path("back.bmp")), 0) << errors_;
  EXPECT_TRUE(SamePixels(Path("in.bmp"), Path("back.bmp")));
  ASSERT_EQ(Run("encode --mode gray --no-huffman " + Path("out.vqi") + " " + Path("gray.vqi")), 0);
  EXPECT_EQ(Run("info " + Path("gray.vqi")), 0);
  EXPECT_NE(output_.find("planes: 1"), std::string::npos) << output_;
}

TEST_F(Vqiconv, InfoDescribesPlanesAndStages) {
  ASSERT_EQ(Run("encode --transparent 0,255,0 " + Path("in.bmp") + " " + Path("out.vqi")), 0);
  ASSERT_EQ(Run("info " + Path("out.vqi")), 0) << errors_;
  for (const char* line : {"width: 7", "height: 5", "colour model: 1", "planes: 4", "plane 3: "}) {
    EXPECT_NE(output_.find(line), std::string::npos) << line << "\n" << output_;
  }
  ASSERT_EQ(Run("encode --no-rle --no-huffman --alpha-image " + Path("in.bmp") + " " +
                Path("in.bmp") + " " + Path("alpha.vqi")),
            0)
      << errors_;
  ASSERT_EQ(Run("info " + Path("alpha.vqi")), 0);
  EXPECT_NE(output_.find("35 bytes, stages: delta"), std::string::npos) << output_;
}

TEST_F(Vqiconv, ManyFilesIntoAFolder) {
  fs::create_directories(folder_ / "out");
  fs::create_directories(folder_ / "other");
  fs::copy_file(Path("in.bmp"), Path("second.bmp"));
  fs::copy_file(Path("in.bmp"), Path("other/in.bmp"));
  WriteAll(Path("text.bmp"), {'h', 'i'});
  // Two good files, one unreadable, one whose output the first already has.
  EXPECT_EQ(Run("encode --mode rgb " + Path("in.bmp") + " " + Path("text.bmp") + " " +
                Path("second.bmp") + " " + Path("other/in.bmp") + " --out-dir " + Path("out")),
            1);
  EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 2) << errors_;
  EXPECT_NE(errors_.find("text.bmp: not a BMP"), std::string::npos) << errors_;
  EXPECT_NE(errors_.find("other/in.bmp"), std::string::npos) << errors_;
  ASSERT_EQ(Run("decode " + Path("out/in.vqi") + " " + Path("out/second.vqi") + " --out-dir " +
                Path("out")),
            0)
      << errors_;
  EXPECT_EQ(ReadAll(Path("out/second.bmp")), ReadAll(Path("out/in.bmp")));
  EXPECT_TRUE(SamePixels(Path("in.bmp"), Path("out/in.bmp")));
  EXPECT_EQ(Run("encode " + Path("out/in.vqi") + " --out-dir " + Path("out")), 1);
  ExpectOneLineError("in.vqi", "would replace");
  EXPECT_EQ(Run("decode " + Path("out/in.vqi") + " --out-dir " + Path("missing")), 1);
}

// Bad input and bad usage: exit code 1, one line naming the file and why, and no output file.
// Each case is a test of its own; "@" stands for the test's folder.
struct Failure {
  const char *arguments, *file, *reason;
};

class VqiconvRefuses : public Vqiconv, public ::testing::WithParamInterface<Failure> {};

TEST_P(VqiconvRefuses, WithOneLineAndWritesNothing) {
  WriteAll(Path("text.bmp"), {'h', 'e', 'l', 'l', 'o'});
  WriteAll(Path("cut.vqi"), {'V', 'Q', 'I', '0', 0, 0, 0});
  std::string arguments = GetParam().arguments;
  for (size_t at; (at = arguments.find('@')) != std::string::npos;) {
    arguments.replace(at, 1, Path(""));
  }
  EXPECT_EQ(Run(arguments), 1) << arguments;
  ExpectOneLineError(GetParam().file, GetParam().reason);
  EXPECT_FALSE(fs::exists(Path("out.vqi")));
  EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, VqiconvRefuses,
    ::testing::Values(Failure{"encode @missing.bmp @out.vqi", "missing.bmp", "cannot read"},
                      Failure{"encode @text.bmp @out.vqi", "text.bmp", "not a BMP or VQI image"},
                      Failure{"decode @in.bmp @out.bmp", "in.bmp", "not a VQI file"},
                      Failure{"decode @cut.vqi @out.bmp", "cut.vqi", "damaged VQI file"},
                      Failure{"info @cut.vqi", "cut.vqi", "damaged"},
                      Failure{"encode @in.bmp @missing/out.vqi", "out.vqi", "cannot write"},
                      Failure{"", "", ""}, Failure{"convert a b", "", ""},
                      Failure{"encode @in.bmp", "", ""},
                      Failure{"encode --mode cmyk @in.bmp @out.vqi", "", ""},
                      Failure{"encode --transparent 300,0,0 @in.bmp @out.vqi", "", ""},
                      Failure{"encode --transparent 1,2,3 --alpha-image @in.bmp @in.bmp @out.vqi",
                              "", "--help"}));

}  // namespace
