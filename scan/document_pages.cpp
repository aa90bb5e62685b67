#include "scan/document_pages.h"

int32_t SteppedPage(DocumentPages pages, int step) {
  const int64_t page = int64_t{pages.current} + step;
  return page >= 0 && page < pages.count ? static_cast<int32_t>(page) : -1;
}

std::string PageStatusText(DocumentPages pages) {
  if (pages.count <= 1) return "";
  return "ページ " + std::to_string(pages.current + 1) + " / " + std::to_string(pages.count);
}
