#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/bmp_writer.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "pdf/pdf_writer.h"
#include "shell/version.h"

namespace {

using Painter = uint32_t (*)(uint32_t x, uint32_t y);  // 0xRRGGBB

uint32_t Grey(uint32_t value) { return value * 0x010101; }
uint32_t Text(uint32_t x, uint32_t y) { return Grey(x / 3 * (y / 2 + 1) % 5 < 2 ? 0 : 255); }
uint32_t Gradient(uint32_t x, uint32_t y) { return Grey((x * 5 + y * 3) & 255); }
uint32_t Noise(uint32_t x, uint32_t y) {
  const uint32_t hash = (x * 374761393u ^ y * 668265263u) * 1274126177u;
  return Grey((hash ^ hash >> 15) * 2246822519u >> 24);
}
uint32_t Colour(uint32_t x, uint32_t y) { return (x & 255) << 16 | (y & 255) << 8 | (x + y) % 256; }
uint32_t Photo(uint32_t x, uint32_t y) { return x * 255 / 640 << 16 | y * 255 / 480 << 8 | x / 5; }

void Paint(ImageBuffer* image, int32_t width, int32_t height, Painter painter) {
  ASSERT_TRUE(CreateImageBuffer(image, width, 24, height));
  for (int32_t y = 0; y < height; ++y) {  // y from the top
    uint8_t* pixel = image->pixels + size_t(image->stride) * size_t(height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t rgb = painter(uint32_t(x), uint32_t(y));
      for (int c = 0; c < 3; ++c) *pixel++ = uint8_t(rgb >> 8 * c);
    }
  }
}

std::string Output(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; pipe && (c = fgetc(pipe)) != EOF;) output += char(c);
  return pipe && pclose(pipe) == 0 ? output : "failed: " + command + "\n" + output;
}

int jpegRequests = 0;

// The test's JPEG encoder: ImageMagick, at the program's default quality, in the given folder.
bool EncodeWithConvert(void* folder, const ImageBuffer& image, std::vector<uint8_t>* jpeg) {
  ++jpegRequests;
  const std::string bmp = *static_cast<std::string*>(folder) + "/colour.bmp";
  if (!WriteBmpFile(bmp.c_str(), &image)) return false;
  const std::string bytes = Output("convert " + bmp + " -quality 90 jpg:-");
  jpeg->assign(bytes.begin(), bytes.end());
  return true;
}

struct Page {
  int32_t width, height, dpiX, dpiY;
  Painter painter;
  bool jpeg;
  const char *size, *encoding;
  int fuzzPercent;  // how far a pixel extracted may be from the picture's
};

// One document, one page of each kind: every picture comes back as it was (a JPEG within
// what its compression loses), on a page of its printed size, and only colour asks for JPEG.
TEST(PdfWriter, WritesEachPageInItsSmallestExactFormAtItsPrintedSize) {
  char pattern[] = "/tmp/pelora-pdf-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string folder = pattern;
  const std::string path = folder + "/scan.pdf";
  const Page pages[] = {
      {2480, 3508, 300, 300, Text, true, "595.2 x 841.92", "gray 1 1 image", 0},  // A4
      {13, 5, 0, 0, Text, true, "9.75 x 3.75", "gray 1 1 image", 0},
      {3000, 2480, 0, 0, Gradient, true, "720.091 x 595.276", "gray 1 8 image", 0},
      {101, 67, 200, 100, Colour, false, "36.36 x 48.24", "rgb 3 8 image", 0},
      {640, 480, 0, 150, Photo, true, "307.2 x 230.4", "rgb 3 8 jpeg", 3},
  };
  PdfWriter pdf;
  FileReplacement file;
  EXPECT_FALSE(BeginFileReplacement(&file, (folder + "/none/scan.pdf").c_str()));
  ASSERT_TRUE(BeginFileReplacement(&file, path.c_str()));
  BeginPdf(&pdf, FileReplacementSink(&file), {u"スキャン 1", {2024, 1, 2, 3, 4, 5, 540}});
  for (size_t i = 0; i < std::size(pages); ++i) {
    pdf.document.encodeJpeg = pages[i].jpeg ? EncodeWithConvert : nullptr;
    pdf.document.jpegContext = &folder;
    ImageBuffer image;
    Paint(&image, pages[i].width, pages[i].height, pages[i].painter);
    ASSERT_TRUE(AddPdfPage(&pdf, image, pages[i].dpiX, pages[i].dpiY));
    ASSERT_TRUE(WriteBmpFile((folder + "/" + std::to_string(i) + ".bmp").c_str(), &image));
  }
  ASSERT_TRUE(FinishPdf(&pdf) && CommitFileReplacement(&file));
  EXPECT_EQ(jpegRequests, 1);  // only the colour page is asked for as JPEG

  EXPECT_NE(Output("qpdf --check " + path).find("No syntax or stream encoding errors"),
            std::string::npos);
  const std::string info = Output("pdfinfo -isodates -l 9 " + path);
  for (const char* line : {reinterpret_cast<const char*>(u8"Title:           スキャン 1\n"),
                           "Producer:        Pelora " PELORA_VERSION "\n",
                           "CreationDate:    2024-01-02T03:04:05+09\n", "Pages:           5\n"}) {
    EXPECT_NE(info.find(line), std::string::npos) << line << info;
  }
  EXPECT_TRUE(std::regex_search(Output("tail -c 300 " + path),
                                std::regex("/ID \\[<([0-9A-F]{32})> <\\1>\\]")));
  std::istringstream list(Output("pdfimages -list " + path));
  ASSERT_EQ(Output("pdfimages " + path + " " + folder + "/page"), "");
  std::string line;
  std::getline(list, line) && std::getline(list, line);
  for (size_t i = 0; i < std::size(pages); ++i) {
    SCOPED_TRACE(i);
    char size[64], extracted[16];
    std::snprintf(size, sizeof size, "Page %4zu size:  %s pts", i + 1, pages[i].size);
    EXPECT_NE(info.find(size), std::string::npos) << size;
    std::getline(list, line);
    std::istringstream fields(line);
    std::string field[9];
    for (std::string& word : field) fields >> word;
    EXPECT_EQ(field[5] + " " + field[6] + " " + field[7] + " " + field[8], pages[i].encoding);
    std::snprintf(extracted, sizeof extracted, "page-%03zu.p%cm", i, field[7] == "1" ? 'b' : 'p');
    EXPECT_EQ(
        Output("compare -metric AE -fuzz " + std::to_string(pages[i].fuzzPercent) + "% " + folder +
               "/" + std::to_string(i) + ".bmp " + folder + "/" + extracted + " null: 2>&1"),
        "0");
  }
  std::filesystem::remove_all(folder);
}

struct MemorySink {
  std::string bytes;
  size_t limit;  // the sink fails past it
};

bool Take(void* context, const void* data, size_t size) {
  MemorySink* sink = static_cast<MemorySink*>(context);
  if (sink->bytes.size() + size > sink->limit) return false;
  sink->bytes.append(static_cast<const char*>(data), size);
  return true;
}

// An encoder that gives up half-way, leaving what it had made.
bool FailToEncode(void*, const ImageBuffer&, std::vector<uint8_t>* jpeg) {
  jpeg->assign({0xFF, 0xD8});
  return false;
}

// A page that cannot be made (no JPEG, no picture) is refused alone and the pages before it
// still make a whole document, but a sink that fails anywhere (the header, inside a page's
// picture, the last byte) fails the document. Pages reach the sink as they are added.
TEST(PdfWriter, RefusesOnlyThePageItCannotMakeAndFailsWithItsSink) {
  ImageBuffer noise, colour, empty;
  Paint(&noise, 600, 400, Noise);
  Paint(&colour, 2, 2, Colour);
  MemorySink whole{"", SIZE_MAX};
  PdfWriter pdf;
  BeginPdf(&pdf, {&whole, Take}, {u"a", {}});
  pdf.document.encodeJpeg = FailToEncode;
  EXPECT_FALSE(FinishPdf(&pdf));  // nothing to finish yet
  ASSERT_TRUE(AddPdfPage(&pdf, noise, 0, 0));
  EXPECT_GT(whole.bytes.size(), 600u * 300);
  EXPECT_FALSE(AddPdfPage(&pdf, colour, 0, 0) || AddPdfPage(&pdf, empty, 0, 0) || pdf.failed);
  ASSERT_TRUE(FinishPdf(&pdf));
  const std::string path = "/tmp/pelora-refused-" + std::to_string(getpid()) + ".pdf";
  ASSERT_TRUE(std::ofstream(path, std::ios::binary) << whole.bytes);
  EXPECT_NE(Output("qpdf --check " + path).find("No syntax"), std::string::npos);
  EXPECT_NE(Output("pdfinfo " + path).find("Pages:           1\n"), std::string::npos);
  std::filesystem::remove(path);
  for (const size_t limit : {size_t{5}, whole.bytes.size() / 2, whole.bytes.size() - 1}) {
    MemorySink cut{"", limit};
    BeginPdf(&pdf, {&cut, Take}, {u"a", {}});
    EXPECT_FALSE(AddPdfPage(&pdf, noise, 0, 0) && FinishPdf(&pdf)) << limit;
  }
}

}  // namespace
