#pragma once
// The small dialog after the save dialog that asks how a JPEG file is to be written.

#include <windows.h>

#include <cstdint>

// Asks for the JPEG quality, 1 to 100, starting from the one chosen last ("JpegQuality" in the
// settings file; 90 at first). True on OK, with `quality` set and remembered; false on cancel.
bool ChooseJpegQuality(HWND owner, int32_t* quality);

// The JPEG quality chosen last, 90 at first: series save writes JPEG files with it.
int32_t RememberedJpegQuality();
