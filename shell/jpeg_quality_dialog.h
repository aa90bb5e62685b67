#pragma once
// The small dialog after the save dialog that asks how a JPEG file, or the colour pages of a
// PDF, are to be compressed.

#include <windows.h>

#include <cstdint>

// Asks for the JPEG quality, 1 to 100, starting from the one chosen last ("JpegQuality" in the
// settings file; 90 at first); for a PDF (`forPdf`) also whether its colour pages are written
// losslessly instead ("PdfLossless", which series PDFs follow too). True on OK, with `quality`
// set and both remembered; false on cancel.
bool ChooseJpegQuality(HWND owner, bool forPdf, int32_t* quality);

// The JPEG quality chosen last, 90 at first: series save writes JPEG files with it.
int32_t RememberedJpegQuality();
