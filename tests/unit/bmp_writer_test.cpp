#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/bmp_writer.h"
#include "core/image_buffer.h"

namespace {

// The headers and the rows as they are, over an old file, with nothing left beside it.
TEST(BmpWriter, WritesHeadersAndRowsAndReplacesOnlyWhenWholeFilesAreWritten) {
  char pattern[] = "/tmp/pelora-bmp-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern, path = folder + "/a.bmp";
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 2));
  for (int i = 0; i < 32; ++i) image.pixels[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(std::ofstream(path) << "old contents");
  ASSERT_TRUE(WriteBmpFile(path.c_str(), &image));
  std::vector<uint8_t> expected = {'B', 'M', 86, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0,
                                   0,   40,  0,  0, 0, 5, 0, 0, 0,  2, 0,  0, 0,
                                   1,   0,   24, 0, 0, 0, 0, 0, 32, 0, 0,  0};
  expected.resize(54, 0);
  for (int i = 0; i < 32; ++i) expected.push_back(static_cast<uint8_t>(i * 7));
  std::ifstream written(path, std::ios::binary);
  EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(written), {}), expected);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no leftovers
  std::filesystem::remove_all(folder);
}

}  // namespace
