#include "shell/view_geometry.h"

#include <algorithm>

ViewSize ViewportForImage(ViewSize image, ViewSize client, bool hasHorizontalBar,
                          bool hasVerticalBar, ScrollBarSizes bars) {
  int cw = client.width + (hasVerticalBar ? bars.verticalWidth : 0);
  int ch = client.height + (hasHorizontalBar ? bars.horizontalHeight : 0);
  if (image.width > cw) {
    ch -= bars.horizontalHeight;
    if (image.height > ch) cw -= bars.verticalWidth;
  } else if (image.height > ch) {
    cw -= bars.verticalWidth;
    if (image.width > cw) ch -= bars.horizontalHeight;
  }
  return {cw, ch};
}

int ClampScrollOrigin(int origin, int imageExtent, int viewExtent) {
  return std::max(0, std::min(origin, imageExtent - viewExtent));
}

int ClampScrollStep(int step, int origin, int page, int imageExtent) {
  if (imageExtent < page) return 0;
  step = std::max(step, -origin);
  return std::min(step, imageExtent - page - origin);
}

int WheelScrollAmount(int wheelDelta) { return -wheelDelta * 16 / 120; }

ViewRect FittedPictureRect(ViewSize image, ViewSize client) {
  if (image.width <= 0 || image.height <= 0) return {0, 0, 0, 0};
  int width = image.width;
  int height = image.height;
  int left = 0;
  if (height > client.height) {
    width = static_cast<int>(static_cast<long long>(client.height) * image.width / image.height);
    height = client.height;
  }
  if (width > client.width) {
    height = static_cast<int>(static_cast<long long>(client.width) * height / width);
    width = client.width;
  } else if (width < client.width) {
    left = (client.width - width) / 2;
  }
  const int top = client.height > height ? (client.height - height) / 2 : 0;
  return {left, top, width, height};
}

ViewRect ActualSizePictureRect(ViewSize image, ViewSize client) {
  const int left = client.width > image.width ? (client.width - image.width) / 2 : 0;
  const int top = client.height > image.height ? (client.height - image.height) / 2 : 0;
  return {left, top, image.width, image.height};
}

ViewSize CappedWindowSize(ViewSize wholeImageWindow) {
  return {std::min(wholeImageWindow.width, kMaxFittedWindowWidth),
          std::min(wholeImageWindow.height, kMaxFittedWindowHeight)};
}

ScreenRect LimitDraggedFrame(ScreenRect dragged, ViewSize imageWindowSize, int statusBarHeight) {
  dragged.right = std::min(dragged.left + imageWindowSize.width, dragged.right);
  dragged.bottom = std::min(dragged.top + imageWindowSize.height + statusBarHeight, dragged.bottom);
  return dragged;
}
