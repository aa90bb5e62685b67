#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

TEST(BmpWriter, WritesHeadersAndRowsAndReplacesOnlyWhenWholeFilesAreWritten) {
  char pattern[] = "/tmp/pelora-bmp-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern, path = folder + "/a.bmp";
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  for (int i = 0; i < 32; ++i) image.pixels[i] = static_cast<uint8_t>(i * 7);
  // An old file is replaced; a temporary name someone else holds is stepped past.
  ASSERT_TRUE(std::ofstream(path) << "old contents");
  ASSERT_TRUE(std::ofstream(TemporarySiblingPath(path.c_str(), 0)) << "someone else's");
  ASSERT_TRUE(WriteBmpFile(path.c_str(), &image));
  std::vector<uint8_t> expected = {'B', 'M', 86, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0,
                                   0,   40,  0,  0, 0, 5, 0, 0, 0,  2, 0,  0, 0,
                                   1,   0,   24, 0, 0, 0, 0, 0, 32, 0, 0,  0};
  expected.resize(54, 0);
  for (int i = 0; i < 32; ++i) expected.push_back(static_cast<uint8_t>(i * 7));
  EXPECT_EQ(ReadAll(path), expected);
  EXPECT_EQ(ReadAll(TemporarySiblingPath(path.c_str(), 0)).size(), 14u);
  EXPECT_FALSE(Exists(TemporarySiblingPath(path.c_str(), 1)));
  // Failures leave no file, and what stood in the place untouched.
  ImageBuffer empty;
  EXPECT_FALSE(WriteBmpFile((folder + "/empty.bmp").c_str(), &empty));
  EXPECT_FALSE(Exists(folder + "/empty.bmp"));
  EXPECT_FALSE(WriteBmpFile((folder + "/missing/a.bmp").c_str(), &image));
  EXPECT_FALSE(Exists(folder + "/missing"));
  const std::string taken = folder + "/taken.bmp";  // a folder cannot be replaced by a file
  ASSERT_EQ(mkdir(taken.c_str(), 0777), 0);
  ASSERT_TRUE(std::ofstream(taken + "/keep") << "keep");
  EXPECT_FALSE(WriteBmpFile(taken.c_str(), &image));
  EXPECT_TRUE(Exists(taken + "/keep"));
  EXPECT_FALSE(Exists(TemporarySiblingPath(taken.c_str(), 0)));
  std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
