#include "pdf/pdf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "core/image_buffer.h"
#include "pdf/page_pixels.h"
#include "pdf/page_size.h"
#include "shell/version.h"

namespace {

constexpr size_t kBufferSize = size_t{1} << 16;
// Written last, numbered first, so the pages can name their parent before it exists.
constexpr int32_t kCatalog = 1, kPageTree = 2, kInformation = 3;
// A page, its drawing, its image and the image's length (known only once it is written).
constexpr int32_t kObjectsPerPage = 4;

int32_t FirstObjectOfPage(int32_t page) { return kInformation + 1 + page * kObjectsPerPage; }

uint64_t Offset(const PdfWriter& writer) { return writer.handedOn + writer.buffered; }

// After a failure the bytes are dropped; the caller sees it in `failed`.
void HandOn(PdfWriter* writer) {
  const uint8_t* bytes = writer->buffer.data();
  writer->crc = uint32_t(crc32(writer->crc, bytes, uInt(writer->buffered)));
  writer->adler = uint32_t(adler32(writer->adler, bytes, uInt(writer->buffered)));
  if (!writer->failed) {
    writer->failed = !writer->sink.write(writer->sink.context, bytes, writer->buffered);
  }
  writer->handedOn += writer->buffered;
  writer->buffered = 0;
}

void Put(PdfWriter* writer, const void* data, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    if (writer->buffered == kBufferSize) HandOn(writer);
    const size_t part = std::min(size, kBufferSize - writer->buffered);
    std::memcpy(writer->buffer.data() + writer->buffered, bytes, part);
    writer->buffered += part;
    bytes += part;
    size -= part;
  }
}

// The pieces one after the other, with no text put together first.
void Put(PdfWriter* writer, std::initializer_list<std::string_view> pieces) {
  for (const std::string_view piece : pieces) Put(writer, piece.data(), piece.size());
}

void BeginObject(PdfWriter* writer, int32_t number) {
  writer->objectOffsets[size_t(number - 1)] = Offset(*writer);
  Put(writer, {std::to_string(number), " 0 obj\n"});
}

std::string Reference(int32_t number) { return std::to_string(number) + " 0 R"; }

// Four decimal places at most, and a point whatever the C library's locale says.
std::string Decimal(double value) {
  const long long tenThousandths = std::llround(value * 10000);
  std::string text = std::to_string(tenThousandths / 10000);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%04d", int(tenThousandths % 10000));
  const std::string digits(fraction);
  return text + digits.substr(0, digits.find_last_not_of("0.") + 1);
}

std::string DateText(const PdfDate& date) {
  const int offset = std::abs(date.minutesEastOfUtc);
  char text[32];
  std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%c%02d'%02d'", date.year, date.month,
                date.day, date.hour, date.minute, date.second,
                date.minutesEastOfUtc < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

// UTF-16BE with its byte order mark, as a hex string: nothing in it needs escaping.
std::string TitleText(const std::u16string& title) {
  std::string text = "<FEFF";
  for (const char16_t unit : title) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", unsigned(unit));
    text += digits;
  }
  return text + ">";
}

// Deflates into the output buffer itself, handing it on whenever it fills.
void Deflate(PdfWriter* writer, z_stream* stream, int flush) {
  int result;
  do {
    if (writer->buffered == kBufferSize) HandOn(writer);
    stream->next_out = writer->buffer.data() + writer->buffered;
    stream->avail_out = uInt(kBufferSize - writer->buffered);
    result = deflate(stream, flush);
    writer->buffered = kBufferSize - stream->avail_out;
  } while (flush == Z_FINISH ? result != Z_STREAM_END : stream->avail_out == 0);
}

// Grey and colour rows go as their difference from the row above (the PNG "up" predictor,
// with its tag byte), which shrinks a smooth picture's stream to a third; black and white
// compresses best as it is.
bool PredictsRows(PageContent content) { return content != PageContent::kBlackAndWhite; }

constexpr uint8_t kPngUp = 2;

// One row at a time, so that no second copy of the page is ever made.
void DeflateRows(PdfWriter* writer, z_stream* stream, const ImageBuffer& image,
                 PageContent content) {
  const size_t size = PageRowBytes(image, content);
  std::vector<uint8_t> row(size), above(size), predicted(size + 1, kPngUp);
  for (int32_t y = 0; y < image.height && !writer->failed; ++y) {
    PackPageRow(image, y, content, row.data());
    stream->next_in = row.data();
    stream->avail_in = uInt(size);
    if (PredictsRows(content)) {
      for (size_t i = 0; i < size; ++i) predicted[i + 1] = uint8_t(row[i] - above[i]);
      row.swap(above);
      stream->next_in = predicted.data();
      stream->avail_in = uInt(size + 1);
    }
    Deflate(writer, stream, Z_NO_FLUSH);
  }
  Deflate(writer, stream, Z_FINISH);
}

}  // namespace

void BeginPdf(PdfWriter* writer, ByteSink sink, const PdfDocument& document) {
  *writer = {};
  writer->sink = sink;
  writer->document = document;
  writer->objectOffsets.assign(kInformation, 0);
  writer->buffer.resize(kBufferSize);
  // The comment's high bytes tell transfer programs that the file is binary.
  Put(writer, {"%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"});
}

bool AddPdfPage(PdfWriter* writer, const ImageBuffer& image, int32_t dpiX, int32_t dpiY) {
  if (writer->failed || image.kind != kImage24) return false;
  const PageContent content = ClassifyPagePixels(image);
  const PdfJpegEncoder encodeJpeg = writer->document.encodeJpeg;
  const bool asJpeg = content == PageContent::kColour && encodeJpeg != nullptr;
  // Whatever can refuse the page does so before any of it is written.
  std::vector<uint8_t> jpeg;
  if (asJpeg && (!encodeJpeg(writer->document.jpegContext, image, &jpeg) || jpeg.empty())) {
    return false;
  }
  z_stream stream{};
  if (!asJpeg && deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return false;

  const int32_t page = FirstObjectOfPage(writer->pageCount);
  const int32_t drawing = page + 1, picture = page + 2, length = page + 3;
  writer->objectOffsets.resize(writer->objectOffsets.size() + kObjectsPerPage);
  ++writer->pageCount;
  const PageSize size = PrintedPageSize(image.width, image.height, dpiX, dpiY);
  const std::string width = Decimal(size.width), height = Decimal(size.height);
  BeginObject(writer, page);
  Put(writer, {"<< /Type /Page /Parent ", Reference(kPageTree), " /MediaBox [0 0 ", width, " ",
               height, "]\n/Resources << /XObject << /Im0 ", Reference(picture),
               " >> >> /Contents ", Reference(drawing), " >>\nendobj\n"});
  // The picture drawn over the whole page.
  const std::string operators = "q " + width + " 0 0 " + height + " 0 0 cm /Im0 Do Q\n";
  BeginObject(writer, drawing);
  Put(writer, {"<< /Length ", std::to_string(operators.size()), " >>\nstream\n", operators,
               "endstream\nendobj\n"});
  BeginObject(writer, picture);
  Put(writer, {"<< /Type /XObject /Subtype /Image /Width ", std::to_string(image.width),
               " /Height ", std::to_string(image.height), " /ColorSpace /Device",
               content == PageContent::kColour ? "RGB" : "Gray", " /BitsPerComponent ",
               content == PageContent::kBlackAndWhite ? "1" : "8", " /Filter /",
               asJpeg ? "DCTDecode" : "FlateDecode", " /Length ", Reference(length)});
  if (!asJpeg && PredictsRows(content)) {
    Put(writer,
        {"\n/DecodeParms << /Predictor 12 /Colors ", content == PageContent::kColour ? "3" : "1",
         " /Columns ", std::to_string(image.width), " >>"});
  }
  Put(writer, {" >>\nstream\n"});
  const uint64_t start = Offset(*writer);
  if (asJpeg) {
    Put(writer, jpeg.data(), jpeg.size());
  } else {
    DeflateRows(writer, &stream, image, content);
    deflateEnd(&stream);
  }
  const uint64_t streamLength = Offset(*writer) - start;
  Put(writer, {"\nendstream\nendobj\n"});
  BeginObject(writer, length);
  Put(writer, {std::to_string(streamLength), "\nendobj\n"});
  return !writer->failed;
}

bool FinishPdf(PdfWriter* writer) {
  if (writer->pageCount == 0) return false;  // nothing worth a file
  BeginObject(writer, kCatalog);
  Put(writer, {"<< /Type /Catalog /Pages ", Reference(kPageTree), " >>\nendobj\n"});
  BeginObject(writer, kPageTree);
  Put(writer, {"<< /Type /Pages /Count ", std::to_string(writer->pageCount), " /Kids ["});
  for (int32_t page = 0; page < writer->pageCount; ++page) {
    Put(writer, {"\n", Reference(FirstObjectOfPage(page))});
  }
  Put(writer, {" ] >>\nendobj\n"});
  BeginObject(writer, kInformation);
  Put(writer, {"<< /Producer (Pelora " PELORA_VERSION ") /CreationDate (",
               DateText(writer->document.created), ")\n/Title ", TitleText(writer->document.title),
               " >>\nendobj\n"});

  const uint64_t table = Offset(*writer);
  const size_t objects = writer->objectOffsets.size() + 1;
  Put(writer, {"xref\n0 ", std::to_string(objects), "\n0000000000 65535 f\r\n"});
  for (const uint64_t offset : writer->objectOffsets) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010llu 00000 n\r\n", (unsigned long long)offset);
    Put(writer, entry, 20);
  }
  // The identifier sums every byte before it: the date and title included.
  HandOn(writer);
  char id[40];
  std::snprintf(id, sizeof id, "%08X%08X%016llX", unsigned(writer->crc), unsigned(writer->adler),
                (unsigned long long)writer->handedOn);
  Put(writer, {"trailer\n<< /Size ", std::to_string(objects), " /Root ", Reference(kCatalog),
               " /Info ", Reference(kInformation), " /ID [<", id, "> <", id, ">] >>\nstartxref\n",
               std::to_string(table), "\n%%EOF\n"});
  HandOn(writer);
  return !writer->failed;
}
