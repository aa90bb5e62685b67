#include "core/exif_orientation.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr size_t kEntrySize = 12;

// A TIFF structure: its bytes, whichever byte order its header names.
struct Tiff {
  const uint8_t* bytes;
  size_t length;
  bool bigEndian;

  bool Fits(uint64_t offset, uint64_t size) const {
    return offset <= length && size <= length - offset;
  }
  uint16_t U16(size_t at) const {
    return bigEndian ? static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1])
                     : static_cast<uint16_t>(bytes[at + 1] << 8 | bytes[at]);
  }
  uint32_t U32(size_t at) const {
    return bigEndian ? uint32_t{U16(at)} << 16 | U16(at + 2)
                     : uint32_t{U16(at + 2)} << 16 | U16(at);
  }
};

bool OpenTiff(const uint8_t* bytes, size_t length, Tiff* tiff) {
  if (length < 8) return false;
  if (std::memcmp(bytes, "II*\0", 4) == 0) {
    *tiff = {bytes, length, false};
  } else if (std::memcmp(bytes, "MM\0*", 4) == 0) {
    *tiff = {bytes, length, true};
  } else {
    return false;
  }
  return true;
}

// The orientation entry of directory `page` of the chain that starts in the header. A chain
// that comes back to a directory it passed is damaged, as is one that leaves the bytes.
int TiffOrientation(const Tiff& tiff, int32_t page) {
  if (page < 0) return kOrientationAsStored;
  std::vector<uint32_t> passed;
  uint32_t directory = tiff.U32(4);
  for (int32_t step = 0;; ++step) {
    if (directory == 0 || !tiff.Fits(directory, 2)) return kOrientationAsStored;
    for (uint32_t earlier : passed) {
      if (earlier == directory) return kOrientationAsStored;
    }
    const uint16_t count = tiff.U16(directory);
    const size_t entries = size_t{directory} + 2;
    if (!tiff.Fits(entries, uint64_t{count} * kEntrySize + 4)) return kOrientationAsStored;
    if (step == page) {
      for (size_t e = entries; e < entries + size_t{count} * kEntrySize; e += kEntrySize) {
        if (tiff.U16(e) != kOrientationTag) continue;
        const uint16_t value = tiff.U16(e + 8);
        const bool valid = tiff.U16(e + 2) == kShortType && tiff.U32(e + 4) >= 1 &&
                           value >= kOrientationAsStored && value <= kOrientationTurnedLeft;
        return valid ? value : kOrientationAsStored;
      }
      return kOrientationAsStored;
    }
    passed.push_back(directory);
    directory = tiff.U32(entries + size_t{count} * kEntrySize);
  }
}

// Walks the JPEG file's marker segments up to the image data, looking for the EXIF block:
// an APP1 segment that begins with "Exif\0\0" and holds a TIFF structure.
int JpegOrientation(const uint8_t* bytes, size_t length) {
  constexpr uint8_t kApp1 = 0xE1, kStartOfScan = 0xDA, kEndOfImage = 0xD9;
  size_t at = 2;
  while (at + 4 <= length && bytes[at] == 0xFF) {
    const uint8_t marker = bytes[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) break;
    const size_t segment = size_t{bytes[at + 2]} << 8 | bytes[at + 3];
    if (segment < 2 || segment > length - at - 2) break;
    const uint8_t* data = bytes + at + 4;
    const size_t dataLength = segment - 2;
    if (marker == kApp1 && dataLength >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
      Tiff tiff;
      return OpenTiff(data + 6, dataLength - 6, &tiff) ? TiffOrientation(tiff, 0)
                                                       : kOrientationAsStored;
    }
    at += 2 + segment;
  }
  return kOrientationAsStored;
}

}  // namespace

int ReadExifOrientation(const uint8_t* bytes, size_t length, int32_t page) {
  Tiff tiff;
  if (OpenTiff(bytes, length, &tiff)) return TiffOrientation(tiff, page);
  if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return JpegOrientation(bytes, length);
  return kOrientationAsStored;
}
