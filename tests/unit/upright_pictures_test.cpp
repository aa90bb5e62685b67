// The orientation tag of JPEG and TIFF files, found through damaged structures without
// reading past them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/exif_orientation.h"

namespace {

std::string Number(bool motorola, uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += char(value >> 8 * (motorola ? bytes - 1 - i : i));
  return out;
}

// A TIFF structure of directories of {tag, type, count, value} entries, one behind the other
// and chained in that order; the last points to `lastNext`.
std::string Tiff(bool motorola, const std::vector<std::vector<std::vector<uint32_t>>>& dirs,
                 uint32_t lastNext = 0) {
  std::string out = std::string(motorola ? "MM\0*" : "II*\0", 4) + Number(motorola, 8, 4);
  for (size_t d = 0; d < dirs.size(); ++d) {
    out += Number(motorola, uint32_t(dirs[d].size()), 2);
    for (const auto& e : dirs[d]) {
      out += Number(motorola, e[0], 2) + Number(motorola, e[1], 2) + Number(motorola, e[2], 4) +
             Number(motorola, e[3] << (motorola && e[1] == 3 ? 16 : 0), 4);
    }
    out += Number(motorola, d + 1 == dirs.size() ? lastNext : uint32_t(out.size() + 4), 4);
  }
  return out;
}

std::string Segment(char marker, const std::string& data) {
  return std::string("\xFF") + marker + Number(true, uint32_t(data.size() + 2), 2) + data;
}

// A JPEG file's start, its APP1 segment with the EXIF block, and the image data.
std::string Jpeg(const std::string& tiff, const std::string& before = "") {
  return "\xFF\xD8" + before + Segment('\xE1', std::string("Exif\0\0", 6) + tiff) +
         Segment('\xDA', "scan") + "\xFF\xD9";
}

std::vector<uint32_t> Orientation(uint32_t value, uint32_t type = 3) {
  return {0x112, type, 1, value};
}
const std::vector<uint32_t> kWidth = {256, 4, 1, 640};

}  // namespace

TEST(ExifOrientation, FoundWhereItIsAndOnlyThere) {
  const std::string pages = Tiff(false, {{kWidth, Orientation(3)}, {Orientation(6)}});
  const std::string xmp = Segment('\xE1', "http://ns.adobe.com/xap/1.0/" + std::string(300, ' '));
  // Directories at offsets that need every byte of their numbers.
  const auto far = [](bool motorola) {
    const std::string tiff = Tiff(motorola, {{Orientation(6)}});
    return tiff.substr(0, 4) + Number(motorola, 65536, 4) + std::string(65528, 0) + tiff.substr(8);
  };
  const std::vector<std::vector<uint32_t>> wide(22, kWidth);
  const struct {
    std::string bytes;
    int32_t page;
    int expected;
  } cases[] = {
      {Jpeg(Tiff(true, {{kWidth, Orientation(8)}}), Segment('\xE0', "JFIF") + xmp + "\xFF"), 0, 8},
      {Jpeg(Tiff(false, {{Orientation(6)}})), 0, 6},
      {Jpeg(Tiff(false, {{kWidth}})), 0, 1},
      {Jpeg(Tiff(true, {{Orientation(9)}})), 0, 1},
      {Jpeg(Tiff(true, {{Orientation(6, 4)}})), 0, 1},  // not a short
      {Jpeg(Tiff(false, {{{0x112, 3, 0, 6}}})), 0, 1},  // no value
      {Jpeg(Tiff(true, {{{0x112, 3, 0, 6}}})), 0, 1},
      {Jpeg(Tiff(true, {{Orientation(6)}}), Segment('\xE1', std::string("Exif\0\0", 6))), 0, 1},
      {Jpeg(Tiff(false, {{Orientation(6)}}), "X"), 0, 1},  // not a marker
      {Jpeg(Tiff(false, {{kWidth, Orientation(6)}}).substr(0, 30)), 0, 1},
      {Jpeg(std::string("II*\0\0\0\0\x7F", 8) + pages.substr(8)), 0, 1},
      {Jpeg(pages).substr(0, 40), 0, 1},
      {"\xFF\xD8" + Segment('\xDA', "") + Jpeg(pages).substr(2), 0, 1},  // in the image data
      {std::string("\xFF\xD8\xFF\xE1\0\1", 6) + pages, 0, 1},
      {pages, 0, 3},
      {pages, 1, 6},
      {pages, 2, 1},
      {pages, -1, 1},
      {Tiff(true, {{kWidth}, {kWidth, Orientation(7)}}), 1, 7},
      {Tiff(false, {wide, {Orientation(2)}}), 1, 2},
      {far(true), 0, 6},
      {far(false), 0, 6},
      {Tiff(false, {{Orientation(3)}, {Orientation(6)}}, 8), 2, 1},  // a loop
      {Tiff(false, {{Orientation(3)}}, 1000), 1, 1},
      {"BM" + pages, 0, 1},
      {std::string("II*\1", 4) + pages.substr(4), 0, 1},
      {"", 0, 1},
  };
  for (const auto& c : cases) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(c.bytes.data());
    EXPECT_EQ(ReadExifOrientation(bytes, c.bytes.size(), c.page), c.expected)
        << "case " << &c - cases << ", page " << c.page;
  }
}
