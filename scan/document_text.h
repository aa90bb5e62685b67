#pragma once
// How document open reads the text it is given. Platform-free.

#include <cstddef>
#include <string>

#include "scan/document_pages.h"

// Texts handed to document open hold at most this many bytes before the terminator.
inline constexpr size_t kMaxDocumentTextLength = 511;

// True when the text begins with "CMD:TWAIN" (case-sensitive).
bool IsScannerRequest(const char* text);

// The file's name as the user knows it: the part of the path behind its last "\" (the whole
// text when there is none). A separator only as the first byte does not count, and the second
// byte of a two-byte character is never taken for one.
std::string DocumentName(const char* path);

// The window title for an opened path: its name, for a document of several pages the page
// shown and their number ("scan.tif (2/7)"), then " - Pelora".
std::string DocumentTitle(const char* path, DocumentPages pages = {});
