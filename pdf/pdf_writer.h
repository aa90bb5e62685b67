#pragma once
// Writes pictures as a PDF document, one picture a page, each page the picture's printed size.
// A page goes to the sink as it is added and only its objects' offsets are kept, so a feeder
// batch of any length takes no more memory than the page at hand (and a colour page's JPEG
// bytes). The page tree, the cross-reference table and the trailer come at the end.
//
//   PdfWriter pdf;
//   BeginPdf(&pdf, sink, document);
//   AddPdfPage(&pdf, page, dpiX, dpiY);   // as each page arrives
//   FinishPdf(&pdf);                      // false: the file is not whole, throw it away

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/byte_sink.h"

struct ImageBuffer;

// Local time, with its offset from UTC.
struct PdfDate {
  int year, month, day, hour, minute, second;
  int minutesEastOfUtc;
};

// Makes a colour page's JPEG bytes: the same size, three components. False when it cannot.
using PdfJpegEncoder = bool (*)(void* context, const ImageBuffer& image,
                                std::vector<uint8_t>* jpeg);

struct PdfDocument {
  std::u16string title;  // the file name, in UTF-16 code units
  PdfDate created;
  // Asked only for pages with colour; none (lossless) writes them Flate-compressed.
  PdfJpegEncoder encodeJpeg = nullptr;
  void* jpegContext = nullptr;
};

struct PdfWriter {
  ByteSink sink{};
  PdfDocument document;
  std::vector<uint64_t> objectOffsets;  // object n at [n - 1]
  std::vector<uint8_t> buffer;          // bytes not yet handed to the sink
  size_t buffered = 0;
  uint64_t handedOn = 0;        // bytes the sink has taken
  uint32_t crc = 0, adler = 1;  // CRC-32 and Adler-32 of those bytes, for the identifier
  int32_t pageCount = 0;
  bool failed = false;  // the sink refused bytes: the document can no longer be finished
};

// Starts the document with its header; a failing sink shows in the calls after it.
void BeginPdf(PdfWriter* writer, ByteSink sink, const PdfDocument& document);

// Adds the 24-bit image as the next page; a resolution of 0 is unknown. Black and white pages
// are written one bit a pixel, grey ones eight, colour ones as JPEG or losslessly. False when
// the page was not added: `failed` then tells whether the document is lost, or whether only
// this page was refused (an empty image, a failed JPEG encoding) and the pages before it can
// still be finished.
bool AddPdfPage(PdfWriter* writer, const ImageBuffer& image, int32_t dpiX, int32_t dpiY);

// Writes the page tree, the document's information, the cross-reference table and the
// trailer. False when the sink failed anywhere or there is no page.
bool FinishPdf(PdfWriter* writer);
