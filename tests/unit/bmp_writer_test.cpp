#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/bmp_format.h"
#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"

namespace {

class BmpWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pelora-bmp-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

  std::string Path(const char* name) const { return folder_ + "/" + name; }

  static std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  static bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
  }

  std::string folder_;
};

uint32_t At32(const std::vector<uint8_t>& b, size_t o) {
  return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | uint32_t{b[o + 3]} << 24;
}

}  // namespace

TEST_F(BmpWriter, FiveByTwoIsEightySixBytes) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  for (int i = 0; i < 32; ++i) image.pixels[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(WriteBmpFile(Path("a.bmp").c_str(), &image));

  const std::vector<uint8_t> file = ReadAll(Path("a.bmp"));
  ASSERT_EQ(file.size(), 86u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(At32(file, 2), 86u);
  EXPECT_EQ(At32(file, 6), 0u);
  EXPECT_EQ(At32(file, 10), 54u);
  EXPECT_EQ(At32(file, 14), 40u);
  EXPECT_EQ(At32(file, 18), 5u);
  EXPECT_EQ(At32(file, 22), 2u);
  EXPECT_EQ(file[26] | file[27] << 8, 1);
  EXPECT_EQ(file[28] | file[29] << 8, 24);
  EXPECT_EQ(At32(file, 30), 0u);
  EXPECT_EQ(At32(file, 34), 32u);
  for (size_t o = 38; o < 54; o += 4) EXPECT_EQ(At32(file, o), 0u) << o;
  for (int i = 0; i < 32; ++i) EXPECT_EQ(file[54 + i], static_cast<uint8_t>(i * 7));

  BmpLayout layout;
  EXPECT_TRUE(ParseBmpFile(file.data(), file.size(), &layout));
}

TEST_F(BmpWriter, EmptyImageWritesNoFile) {
  ImageBuffer empty;
  EXPECT_FALSE(WriteBmpFile(Path("empty.bmp").c_str(), &empty));
  EXPECT_FALSE(Exists(Path("empty.bmp")));
}

TEST_F(BmpWriter, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 3));
  EXPECT_FALSE(WriteBmpFile(Path("missing/a.bmp").c_str(), &image));
  EXPECT_FALSE(Exists(Path("missing")));

  // A folder in the file's place cannot be replaced by a file.
  ASSERT_EQ(mkdir(Path("taken.bmp").c_str(), 0777), 0);
  ASSERT_TRUE(std::ofstream(Path("taken.bmp/keep")) << "keep");
  EXPECT_FALSE(WriteBmpFile(Path("taken.bmp").c_str(), &image));
  EXPECT_TRUE(Exists(Path("taken.bmp/keep")));
  EXPECT_FALSE(Exists(TemporarySiblingPath(Path("taken.bmp").c_str(), 0)));
}

TEST_F(BmpWriter, ReplacesAnExistingFileAndStepsPastTakenTemporaryNames) {
  const std::string target = Path("b.bmp");
  ASSERT_TRUE(std::ofstream(target) << "old contents");
  ASSERT_TRUE(std::ofstream(TemporarySiblingPath(target.c_str(), 0)) << "someone else's");
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 1, 24, 1));
  ASSERT_TRUE(WriteBmpFile(target.c_str(), &image));
  EXPECT_EQ(ReadAll(target).size(), 58u);
  EXPECT_EQ(ReadAll(TemporarySiblingPath(target.c_str(), 0)).size(), 14u);
  EXPECT_FALSE(Exists(TemporarySiblingPath(target.c_str(), 1)));
}
