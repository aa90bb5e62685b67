#include <gtest/gtest.h>

#include <string>

#include "core/image_file_names.h"

namespace {

bool BuiltIn(const std::string& path) { return HasBuiltInImageExtension(path.data(), path.size()); }

bool AnyKey(const std::string& path, const std::string& keyList) {
  return PathEndsWithAnyKey(path.data(), path.size(), keyList.data(), keyList.size());
}

}  // namespace

TEST(ImageFileNames, BuiltInExtensionsIgnoreCase) {
  EXPECT_TRUE(BuiltIn("a.vqi"));
  EXPECT_TRUE(BuiltIn("C:\\x\\PHOTO.JPG"));
  EXPECT_TRUE(BuiltIn("scan.Bmp"));
  EXPECT_TRUE(BuiltIn("icon.ico"));
  EXPECT_TRUE(BuiltIn("anim.gif"));
  EXPECT_TRUE(BuiltIn(".bmp"));  // four bytes are enough
  EXPECT_FALSE(BuiltIn("photo.jpeg"));
  EXPECT_FALSE(BuiltIn("bmp"));
  EXPECT_FALSE(BuiltIn("a.png"));
  EXPECT_FALSE(BuiltIn("a.bmp "));
}

TEST(ImageFileNames, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("aBc", "AbC", 3));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xE0", "\xC0", 1));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{", 1));
}

TEST(ImageFileNames, KeysMustBeShorterThanThePath) {
  EXPECT_TRUE(PathEndsWithKey("a.jpeg", 6, ".JPEG", 5));
  EXPECT_FALSE(PathEndsWithKey(".jpeg", 5, ".jpeg", 5));
  EXPECT_FALSE(PathEndsWithKey("a.jpeg", 6, ".png", 4));
}

TEST(ImageFileNames, WalksEveryKeyOfTheList) {
  const std::string keys(".png\0.jpeg\0\0", 12);
  EXPECT_TRUE(AnyKey("x.PNG", keys));
  EXPECT_TRUE(AnyKey("x.jpeg", keys));
  EXPECT_FALSE(AnyKey("x.tif", keys));
  EXPECT_FALSE(AnyKey("x.png", std::string("\0.png\0\0", 7)));  // an empty list
  // A list cut off without its terminator ends with the buffer.
  EXPECT_TRUE(AnyKey("x.tiff", std::string(".png\0.tiff", 10)));
  EXPECT_FALSE(AnyKey("x.tif", std::string(".png\0.tiff", 10)));
}
