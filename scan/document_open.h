#pragma once
// The one road by which a file path or a scanner request reaches the current image.

#include <windows.h>

#include "scan/document_text.h"

// The path last opened (loaded or not); emptied by scanner requests.
extern char CurrentDocumentPath[kMaxDocumentTextLength + 1];

// The page shown of the file last loaded, which a file that did not load leaves shown; a single
// page once a picture from elsewhere (a scan, a paste) has taken its place.
extern DocumentPages CurrentDocumentPages;

// Opens a path into the current image, or carries out a scanner request ("CMD:TWAIN...").
// For a path: true when the file loaded. A text longer than kMaxDocumentTextLength bytes is
// refused with a message and changes nothing.
bool OpenDocument(const char* text, HWND mainWindow);

// Shows the page one step forward (+1) or back (-1) in the current file in place of the page
// shown. False when there is none that way, or when it does not load: the user is told and
// the page shown stays.
bool OpenDocumentPage(int step, HWND mainWindow);

// The document's pages end: a picture from elsewhere has taken its place.
void EndDocumentPages(HWND mainWindow);

// Tells the user that a path is too long to be opened.
void ShowPathTooLong(HWND owner);
