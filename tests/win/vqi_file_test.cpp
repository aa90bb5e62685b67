#include <gtest/gtest.h>

#include "core/bmp_writer.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "tests/win/message_box_closer.h"
#include "tests/win/temp_folder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"
#include "vqi/vqi_file.h"

namespace {

void Fill(ImageBuffer* image) {
  for (int32_t row = 0; row < image->height; ++row) {
    for (int32_t x = 0; x < image->width * 3; ++x) {
      image->pixels[row * image->stride + x] = static_cast<uint8_t>(row * 40 + x * 3);
    }
  }
}

TEST(VqiFiles, LoadImageFileOpensAVqiFile) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 5, 24, 3));
  Fill(&image);
  const std::string path = folder.Path("picture.vqi");
  ASSERT_TRUE(EncodeVqiImage(&image, path.c_str(), kExportRgb, 7, 0, nullptr));
  ImageBuffer loaded;
  ASSERT_TRUE(LoadImageFile(&loaded, path.c_str()));
  EXPECT_EQ(loaded.width, 5);
  EXPECT_EQ(loaded.height, 3);
  EXPECT_EQ(loaded.bitsPerPixel, 24);
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t x = 0; x < 15; ++x) {
      ASSERT_EQ(loaded.pixels[row * loaded.stride + x], image.pixels[row * image.stride + x]);
    }
  }
  // A damaged VQI file is no image, and no other reader takes it.
  std::vector<uint8_t> bytes = ReadBytes(path);
  bytes.resize(30);
  ASSERT_TRUE(WriteBytes(folder.Path("cut.vqi"), bytes));
  ImageBuffer refused;
  EXPECT_FALSE(LoadImageFile(&refused, folder.Path("cut.vqi").c_str()));
  EXPECT_EQ(refused.kind, kImageEmpty);
}

TEST(VqiFiles, EncodeVqiTakesTheAlphaPlaneFromALoadedImage) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 2));
  Fill(&image);
  ImageBuffer alpha;
  ASSERT_TRUE(CreateImageBuffer(&alpha, 4, 24, 2));
  alpha.pixels[0] = 255;  // the first pixel transparent, the rest opaque
  const std::string alphaPath = folder.Path("alpha.bmp");
  ASSERT_TRUE(WriteBmpFile(alphaPath.c_str(), &alpha));
  const std::string path = folder.Path("with alpha.vqi");
  ASSERT_TRUE(EncodeVqi(nullptr, alphaPath.c_str(), &image, path.c_str(), kExportRgb,
                        7 | kAlphaImage << 8, 0));
  const std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_GT(bytes.size(), 22u);
  EXPECT_EQ(bytes[22], 4);
  ImageBuffer loaded;
  ASSERT_TRUE(LoadImageFile(&loaded, path.c_str()));
  EXPECT_EQ(loaded.pixels[0], 0);  // laid over black
  EXPECT_EQ(loaded.pixels[3], image.pixels[3]);

  // An empty path adds no plane; an alpha image that cannot be loaded writes nothing.
  ASSERT_TRUE(EncodeVqi(nullptr, "", &image, path.c_str(), kExportRgb, 7 | kAlphaImage << 8, 0));
  EXPECT_EQ(ReadBytes(path)[22], 3);
  const std::string other = folder.Path("other.vqi");
  MessageBoxCloser boxes;
  EXPECT_FALSE(EncodeVqi(nullptr, folder.Path("missing.bmp").c_str(), &image, other.c_str(),
                         kExportRgb, 7 | kAlphaImage << 8, 0));
  EXPECT_FALSE(FileExists(other));
  const std::vector<SeenMessageBox> seen = boxes.TakeSeen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption + ": " + seen[0].text,
            "エラー: αチャンネル画像を読み込めませんでした．");
}

TEST(VqiFiles, EncodeVqiRefusesAnEmptyImageSilently) {
  TempFolder folder;
  ImageBuffer empty;
  const std::string path = folder.Path("empty.vqi");
  EXPECT_FALSE(EncodeVqi(nullptr, "", &empty, path.c_str(), kExportLuma, 7, 0));
  EXPECT_FALSE(FileExists(path));
}

}  // namespace
