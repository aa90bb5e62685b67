#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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

// An old file is replaced whole; a temporary name someone else holds is stepped past; a failed
// write leaves no file, and what stood in the place untouched.
TEST(BmpWriter, WritesHeadersAndRowsAndReplacesOnlyWhenWholeFilesAreWritten) {
  char pattern[] = "/tmp/pelora-bmp-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern, path = folder + "/a.bmp", taken = folder + "/taken.bmp";
  ImageBuffer image, empty;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  for (int i = 0; i < 32; ++i) image.pixels[i] = static_cast<uint8_t>(i * 7);
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
  EXPECT_FALSE(WriteBmpFile((folder + "/empty.bmp").c_str(), &empty));
  EXPECT_FALSE(WriteBmpFile((folder + "/missing/a.bmp").c_str(), &image));
  ASSERT_EQ(mkdir(taken.c_str(), 0777), 0);  // a folder cannot be replaced by a file
  EXPECT_FALSE(WriteBmpFile(taken.c_str(), &image));
  // a.bmp, the other's temporary file and the folder: nothing else.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 3);
  std::filesystem::remove_all(folder);
}

}  // namespace
