#pragma once
// The one road by which a file path or a scanner request reaches the current image.

#include <windows.h>

#include "scan/document_text.h"

// The path last opened (loaded or not); emptied by scanner requests.
extern char CurrentDocumentPath[kMaxDocumentTextLength + 1];

// Opens a path into the current image, or carries out a scanner request ("CMD:TWAIN...").
// For a path: true when the file loaded. A text longer than kMaxDocumentTextLength bytes is
// refused with a message and changes nothing.
bool OpenDocument(const char* text, HWND mainWindow);

// Tells the user that a path is too long to be opened.
void ShowPathTooLong(HWND owner);
