#include "shell/print_geometry.h"

namespace {
constexpr long long kBottomBand = 64;
}

ViewSize PrintedSize(ViewSize printable, ViewSize image) {
  if (image.width <= 0 || image.height <= 0) return {0, 0};
  const long long widthFitHeight =
      static_cast<long long>(printable.width) * image.height / image.width;
  if (widthFitHeight + kBottomBand > printable.height) {
    return {static_cast<int>(static_cast<long long>(printable.height) * image.width / image.height),
            printable.height};
  }
  return {printable.width, static_cast<int>(widthFitHeight)};
}
