#pragma once
// Which page of the document is shown, of how many: a TIFF file may hold several, every other
// picture is one page. Platform-free.

#include <cstdint>
#include <string>

struct DocumentPages {
  int32_t current = 0;  // 0 the first
  int32_t count = 1;
};

// The page one step forward (+1) or back (-1) leads to; -1 at either end, where the pages do
// not wrap round as the files of a folder do.
int32_t SteppedPage(DocumentPages pages, int step);

// "ページ 2 / 7" for a document of several pages, empty for one of a single page.
std::string PageStatusText(DocumentPages pages);
