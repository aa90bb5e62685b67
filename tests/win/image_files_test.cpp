#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "core/system_picture.h"
#include "tests/fixtures/bmp_builder.h"
#include "tests/win/pixels.h"
#include "tests/win/temp_folder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"

namespace {

const struct {
  const char* name;
  std::function<bool(const std::string& path, const ImageBuffer& image)> write;
} kWriters[] = {
    {"bmp", [](const std::string& path,
               const ImageBuffer& image) { return WriteBmpFile(path.c_str(), &image); }},
    {"vqi", [](const std::string& path, const ImageBuffer& image) {
       return EncodeVqi(nullptr, "", &image, path.c_str(), kExportRgb,
                        kExportDelta | kExportRle | kExportHuffman, 0);
     }}};

HANDLE HoldOpenWithoutSharing(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// The pictures that tests/fixtures/make-pictures puts beside the test program.
std::string PicturePath(const std::string& name) {
  char program[MAX_PATH];
  const std::string path(program, GetModuleFileNameA(nullptr, program, sizeof program));
  return path.substr(0, path.rfind('\\') + 1) + "pictures\\" + name;
}

}  // namespace

// A 600-dpi A4 colour page, and a small picture whose rows need padding; the loaded image
// lets go of its bitmap and memory DC.
TEST(ImageFiles, WrittenPicturesLoadBackWithTheSamePixels) {
  TempFolder folder;
  for (const SIZE size : {SIZE{4960, 7016}, SIZE{5, 3}}) {
    ImageBuffer page;
    ASSERT_TRUE(CreateImageBuffer(&page, size.cx, 24, size.cy));
    for (int32_t row = 0; row < page.height; ++row) {
      for (int32_t i = 0; i < 3 * page.width; ++i) {
        page.pixels[row * page.stride + i] = static_cast<uint8_t>((i / 3 * 7) ^ (row * 3) ^ i);
      }
    }
    for (const auto& writer : kWriters) {
      SCOPED_TRACE(writer.name);
      const std::string path = folder.Path("page." + std::string(writer.name));
      ASSERT_TRUE(writer.write(path, page));
      ImageBuffer loaded;
      ASSERT_TRUE(LoadImageFile(&loaded, path.c_str()));
      ASSERT_EQ(loaded.width, page.width);
      ASSERT_EQ(loaded.height, page.height);
      for (int32_t row = 0; row < page.height; ++row) {
        ASSERT_EQ(0, std::memcmp(loaded.pixels + row * loaded.stride,
                                 page.pixels + row * page.stride, 3 * page.width))
            << "row " << row;
      }
      const HGDIOBJ objects[] = {loaded.memoryDC, loaded.bitmap};
      FreeImageBuffer(&loaded);  // and once more as it goes
      EXPECT_EQ(loaded.kind, kImageEmpty);
      EXPECT_EQ(GetObjectType(objects[0]) | GetObjectType(objects[1]), 0u);
    }
  }
}

// Whatever goes wrong, a writer leaves no half-written or temporary file, and an existing
// file as it was.
TEST(ImageFiles, AFailedWriteLeavesNoFileAndTheOldOneIntact) {
  TempFolder folder;
  ImageBuffer image, empty;
  ASSERT_TRUE(CreateImageBuffer(&image, 4, 24, 4));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  for (const auto& writer : kWriters) {
    SCOPED_TRACE(writer.name);
    const std::string missing = folder.Path("no such folder\\a"), kept = folder.Path("kept");
    EXPECT_FALSE(writer.write(missing, image));
    EXPECT_FALSE(FileExists(missing));
    EXPECT_FALSE(writer.write(folder.Path("empty"), empty));
    EXPECT_FALSE(FileExists(folder.Path("empty")));

    ASSERT_TRUE(WriteBytes(kept, old));
    HANDLE held = HoldOpenWithoutSharing(kept);  // another program has it open
    EXPECT_FALSE(writer.write(kept, image));
    CloseHandle(held);
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(writer.write(kept, image));
    EXPECT_EQ(ReadBytes(kept), old);
    EXPECT_FALSE(FileExists(TemporarySiblingPath(kept.c_str(), 0)));
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL));

    // The longest path the system takes is replaced too, past a temporary name in use.
    const std::string longest =
        folder.Path(std::string(MAX_PATH - 1 - folder.Path("").size(), 'n'));
    const std::string inUse = TemporarySiblingPath(longest.c_str(), 0);
    ASSERT_TRUE(WriteBytes(longest, old) && WriteBytes(inUse, old));
    EXPECT_TRUE(writer.write(longest, image));
    EXPECT_NE(ReadBytes(longest), old);
    EXPECT_EQ(ReadBytes(inUse), old);
    DeleteFileA(inUse.c_str());
  }
}

// The content decides what loads; the name and whether the file can be read decide what the
// viewer lists as pictures.
TEST(ImageFiles, TheContentDecidesWhatLoadsAndTheNameWhatIsListed) {
  TempFolder folder;
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 2));
  ASSERT_TRUE(kWriters[1].write(folder.Path("coded"), image));
  const std::vector<uint8_t> bmp = BuildBmp({40, 3, 2, 24, 0, 0, {}, {}, std::vector<uint8_t>(24)}),
                             coded = ReadBytes(folder.Path("coded")),
                             jpeg = ReadBytes(PicturePath("baseline.jpg"));
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool loads, listed;
  } files[] = {
      {"bitmap.vqi", bmp, true, true},
      {"bitmap.txt", bmp, true, false},
      {"coded.bmp", coded, true, true},
      {"photo.bmp", jpeg, true, true},
      {"cut.vqi", {coded.begin(), coded.begin() + 30}, false, true},
      {"cut.jpg", {jpeg.begin(), jpeg.begin() + 20}, false, true},
      // Bit fields without a mask bit pass the BMP checks, but the system's conversion,
      // which its picture decoder shares, refuses them.
      {"masks.bmp", BuildBmp({40, 4, 2, 32, 3, 0, {}, {0, 0, 0}, std::vector<uint8_t>(32)}), false,
       true},
      {"text.bmp", {'h', 'e', 'l', 'l', 'o'}, false, true},
      {"empty.bmp", {}, false, false},
      {"held.bmp", bmp, false, false},
      {"folder.bmp", {}, false, false}};
  for (const auto& file : files) ASSERT_TRUE(WriteBytes(folder.Path(file.name), file.bytes));
  DeleteFileA(folder.Path("folder.bmp").c_str());
  CreateDirectoryA(folder.Path("folder.bmp").c_str(), nullptr);
  HANDLE held = HoldOpenWithoutSharing(folder.Path("held.bmp"));
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    ImageBuffer loaded;
    EXPECT_EQ(LoadImageFile(&loaded, folder.Path(file.name).c_str()), file.loads);
    EXPECT_EQ(loaded.kind, file.loads ? kImage24 : kImageEmpty);
    EXPECT_EQ(IsLoadableImageFile(folder.Path(file.name).c_str()), file.listed);
  }
  CloseHandle(held);
  ImageBuffer loaded;
  EXPECT_TRUE(LoadImageFile(&loaded, folder.Path("held.bmp").c_str()));
  EXPECT_FALSE(LoadImageFile(&image, folder.Path("held.bmp").c_str()));  // never replaces
}

// At a 96-dpi display a photo comes out at its pixel size, upright (red at the top left, not
// the blue of the right or the green of the bottom); the block its bytes came in stays the
// caller's.
TEST(ImageFiles, ThePhotoIsDrawnUprightAtItsPixelSize) {
  const std::vector<uint8_t> jpeg = ReadBytes(PicturePath("baseline.jpg"));
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, jpeg.size());
  std::copy(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block));
  ImageBuffer image;
  ASSERT_TRUE(ReadSystemPicture(static_cast<uint8_t*>(block), &image, jpeg.size()));
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), static_cast<uint8_t*>(block)));
  EXPECT_EQ(GlobalFree(block), nullptr);
  ASSERT_TRUE(image.width == 100 && image.height == 50);
  EXPECT_EQ(PixelAt(image, 3, 3) & 0xE0E0E0, 0xE00000u) << std::hex << PixelAt(image, 3, 3);
}
