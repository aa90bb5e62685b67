#pragma once
// A PDF document written to a file as its pages arrive. The bytes go to a temporary file that
// takes the document's name only once it is finished: no half-written document ever shows
// under that name, and a failure leaves an older file of the name whole.

#include <cstdint>
#include <string>

#include "core/file_replace.h"
#include "pdf/pdf_writer.h"

struct ImageBuffer;

// Dropped unfinished, it leaves nothing behind and an older file of the name as it was.
struct PdfFile {
  FileReplacement replacement;
  PdfWriter writer;
  int32_t jpegQuality = 0;  // of colour pages written as JPEG
};

// Starts the document for `path`, titled with its file name and dated now, its colour pages
// written as the settings file says: losslessly ("PdfLossless" 1), or as JPEG at the quality
// of JPEG saves ("JpegQuality"). False, with nothing created, when the file cannot be made.
bool BeginPdfFile(PdfFile* file, const char* path);

// Adds the picture as the next page, at its own resolution. False when it was not added; the
// document may still be finished with the pages before it unless `writer.failed` is set.
bool AddPdfFilePage(PdfFile* file, const ImageBuffer& image);

// The picture as a document of one page: Begin, Add and Finish at once.
bool WriteOnePagePdfFile(const char* path, const ImageBuffer& image);

// Finishes the document and gives it its name. False, with nothing left behind, when any
// part of it could not be written or it has no page.
bool FinishPdfFile(PdfFile* file);
