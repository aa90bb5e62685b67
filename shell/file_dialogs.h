#pragma once
// The system's open and save dialogs in front of document open and the image writers.

#include <windows.h>
#include <commdlg.h>

// Lets the user choose a file and opens it; false on cancel or when it does not load.
bool ChooseAndOpenFile(HWND owner);

// Lets the user choose a name and writes the current image there as BMP; false on cancel or
// a failed write, which is told.
bool ChooseAndSaveBmp(HWND owner);

// Lets the user choose a name and a format (PNG, JPEG, TIFF or BMP: a typed extension decides,
// else the chosen filter), for JPEG the quality too, and writes the current image there; false
// on cancel or a failed write, which is told.
bool ChooseAndSaveImage(HWND owner);

// Tells the user that the file at `path` was not written (an existing one is kept).
void ShowNotSaved(HWND owner, const char* path);

// The filter of the dialogs that choose a picture to read: what the loader reads under "画像",
// then everything.
inline constexpr char kPictureFileFilter[] =
    "画像\0*.bmp;*.jpeg;*.jpg;*.vqi;*.png;*.tif;*.tiff;*.jxr;*.wdp;*.webp;*.heic\0"
    "すべて(*.*)\0*.*\0";

// The record of a common file dialog as the older dialog versions know it (structure size of
// version 4), filter index 1; `name` of `nameSize` bytes starts as the empty string.
OPENFILENAMEA FileDialogRecord(HWND owner, const char* filter, const char* title,
                               const char* defaultExtension, DWORD flags, char* name,
                               DWORD nameSize);
