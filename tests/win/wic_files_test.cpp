// Pictures read by the imaging component, and the loader's pages and orientations, against
// what ImageMagick decodes from the same files (tests/fixtures/make-pictures).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "core/image_writer.h"
#include "core/wic_reader.h"
#include "tests/win/host_commands.h"
#include "tests/win/temp_folder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"

namespace {

// The largest difference of any sample of the two images; 256 when their sizes differ.
int Difference(const ImageBuffer& a, const ImageBuffer& b) {
  if (a.width != b.width || a.height != b.height) return 256;
  int largest = 0;
  for (int32_t y = 0; y < a.height; ++y) {
    const uint8_t* p = a.pixels + ptrdiff_t{y} * a.stride;
    const uint8_t* q = b.pixels + ptrdiff_t{y} * b.stride;
    for (int32_t i = 0; i < 3 * a.width; ++i) largest = std::max(largest, std::abs(p[i] - q[i]));
  }
  return largest;
}

}  // namespace

// The imaging component reads every form of pixels that decoders hand over as ImageMagick does
// (16-bit samples rounded to 8 bits, transparent pixels over white, palettes, grey, one bit,
// CMYK) and counts the pages of TIFF files only; it refuses damaged files and pictures too
// large for an image record, leaving the target empty. The loader shows the page asked for,
// upright, whichever reader decoded it (JPEG: the system's picture decoder). A 600-dpi A4 page
// opens in every format; the times are printed for comparison.
TEST(WicReader, ReadsWhatImageMagickReadsAndTheLoaderShowsItUpright) {
  ImageBuffer page;
  ASSERT_TRUE(LoadImageFile(&page, PicturePath("page.bmp").c_str()) &&
              EncodeVqi(nullptr, "", &page, PicturePath("page.vqi").c_str(), kExportRgb, 7, 0));
  constexpr bool kWic = true, kLoader = false;
  struct Case {
    std::string file;  // compared with X.bmp for X.ext, or X-P.bmp for page P of several
    bool wic;
    int32_t page, pages;  // pages 0: refused
  };
  std::vector<Case> all = {
      {"rgba16.png", kWic, 0, 1},  {"rgba8.png", kWic, 0, 1},   {"rgb16.tif", kWic, 0, 1},
      {"grey16.png", kWic, 0, 1},  {"palette.png", kWic, 0, 1}, {"animated.gif", kWic, 0, 1},
      {"fax.tif", kWic, 2, 3},     {"cmyk.jpg", kWic, 0, 1},    {"progressive.jpg", kWic, 0, 1},
      {"fax.tif", kLoader, 0, 3},  {"fax.tif", kLoader, 1, 3},  {"fax.tif", kLoader, 3, 0},
      {"huge.tif", kWic, 0, 0},    {"spoilt.tif", kWic, 0, 0},  {"page.bmp", kLoader, 0, 1},
      {"page.vqi", kLoader, 0, 1}, {"page.png", kLoader, 0, 1}, {"page.png", kWic, 0, 1},
      {"page.tif", kLoader, 0, 1}, {"page.jpg", kLoader, 0, 1}, {"page.jpg", kWic, 0, 1}};
  for (const std::string name : {"rgba8.png", "rgb16.tif", "progressive.jpg", "animated.gif"}) {
    all.push_back({"cut-" + name, kWic, 0, 0});
    all.push_back({"garbage-" + name, kWic, 0, 0});
  }
  for (char n = '1'; n <= '8'; ++n)
    all.push_back({std::string("orientation") + n + ".jpg", kLoader, 0, 1});
  for (const auto& c : all) {
    SCOPED_TRACE(c.file + (c.wic ? " (WIC) page " : " page ") + std::to_string(c.page));
    const std::string path = PicturePath(c.file), stem = c.file.substr(0, c.file.rfind('.'));
    const std::vector<uint8_t> bytes = c.wic ? ReadBytes(path) : std::vector<uint8_t>();
    ImageBuffer image;
    int32_t pages = -1;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    const bool read = c.wic ? ReadWicImage(bytes.data(), bytes.size(), c.page, &pages, &image)
                            : LoadImageFilePage(&image, path.c_str(), c.page, &pages);
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    if (stem == "page") {
      std::printf("600-dpi A4 page, %s%s: %lld ms\n", c.file.c_str(), c.wic ? " (WIC)" : "",
                  (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    }
    ASSERT_EQ(read, c.pages > 0);
    EXPECT_EQ(pages, read ? c.pages : -1);
    EXPECT_EQ(image.kind, read ? kImage24 : kImageEmpty);
    if (!read) continue;
    ImageBuffer picture;  // empty, so different, when it does not load
    const std::string reference = stem + (c.pages > 1 ? std::string{'-', char('0' + c.page)} : "");
    if (stem != "page") LoadImageFile(&picture, PicturePath(reference + ".bmp").c_str());
    // Two right JPEG decoders may differ a little, and JPEG's loss shows in the page.
    const int tolerance = c.file.ends_with(".jpg") ? 8 : 0;
    EXPECT_LE(Difference(image, stem == "page" ? page : picture), tolerance);
  }
}

// PNG, JPEG and TIFF files of a 600-dpi A4 page carry the resolution it was read with and its
// pixels as ImageMagick reads them (JPEG within its loss at the default quality) and as the
// program reads them back.
TEST(WicWriter, WritesWhatImageMagickReadsWithTheResolution) {
  TempFolder folder;
  ImageBuffer page;
  ASSERT_TRUE(LoadImageFile(&page, PicturePath("page.bmp").c_str()));
  EXPECT_TRUE(page.dpiX == 600 && page.dpiY == 300);  // from the BMP header
  const struct {
    const char* name;
    ImageFileFormat format;
    int tolerance;
  } formats[] = {{"w.png", ImageFileFormat::kPng, 0},
                 {"w.jpg", ImageFileFormat::kJpeg, 12},
                 {"w.tif", ImageFileFormat::kTiff, 0}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    const std::string path = folder.Path(f.name);
    ASSERT_TRUE(WriteImageFile(path.c_str(), page, f.format, 90));
    EXPECT_EQ(RunOnHost("convert " + HostPath(path) +
                        " -units PixelsPerInch -format '%[fx:round(resolution.x)] "
                        "%[fx:round(resolution.y)] %U' info:"),
              "600 300 PixelsPerInch");
    // The top of the page: ImageMagick's memory limits refuse two whole pages.
    const std::string top = "'[4960x300+0+0]' ";
    EXPECT_EQ(RunOnHost("compare -metric AE -fuzz " + std::to_string(f.tolerance * 100 / 255) +
                        "% " + HostPath(path) + top + HostPath(PicturePath("page.bmp")) + top +
                        "null:"),
              "0");
    ImageBuffer read;
    const std::vector<uint8_t> bytes = ReadBytes(path);
    int32_t pages;
    ASSERT_TRUE(ReadWicImage(bytes.data(), bytes.size(), 0, &pages, &read));
    EXPECT_LE(Difference(read, page), f.tolerance);
    EXPECT_TRUE(read.dpiX == 600 && read.dpiY == 300) << read.dpiX << " " << read.dpiY;
  }
}
