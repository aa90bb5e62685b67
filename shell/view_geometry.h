#pragma once
// The arithmetic of the image view and the main window's size: which scroll bars show, how
// far the picture may scroll, where a fitted picture is drawn, how large the window may grow.
// Platform-free; all divisions truncate.

struct ViewSize {
  int width;
  int height;
};

struct ViewRect {
  int left;
  int top;
  int width;
  int height;
  bool operator==(const ViewRect&) const = default;
};

struct ScrollBarSizes {
  int horizontalHeight;  // SM_CYHSCROLL
  int verticalWidth;     // SM_CXVSCROLL
};

// The client size left for the picture once the bars the image needs are in place, given the
// present client size and which bars it has now.
ViewSize ViewportForImage(ViewSize image, ViewSize client, bool hasHorizontalBar,
                          bool hasVerticalBar, ScrollBarSizes bars);

// A scroll origin clamped so that the view never shows past the image's far edge nor
// before its start.
int ClampScrollOrigin(int origin, int imageExtent, int viewExtent);

// Limits a scroll step so that the origin stays within the image.
int ClampScrollStep(int step, int origin, int page, int imageExtent);

// The wheel's 120 units a notch become 16 pixels, a notch away from the user scrolling up.
int WheelScrollAmount(int wheelDelta);

// Where the picture is drawn in fit mode: shrunk to the client keeping its proportions,
// never enlarged, centred.
ViewRect FittedPictureRect(ViewSize image, ViewSize client);

// Where the picture starts at 1:1: centred when smaller than the client, else at the corner.
ViewRect ActualSizePictureRect(ViewSize image, ViewSize client);

inline constexpr int kMaxFittedWindowWidth = 800;
inline constexpr int kMaxFittedWindowHeight = 600;

// The outer size the window takes for an image whose whole-image outer size is given.
ViewSize CappedWindowSize(ViewSize wholeImageWindow);

struct ScreenRect {
  int left;
  int top;
  int right;
  int bottom;
};

// The frame being dragged may shrink freely but never grow past the whole-image size (plus
// the status bar); the left and top edges stay where the user put them.
ScreenRect LimitDraggedFrame(ScreenRect dragged, ViewSize imageWindowSize, int statusBarHeight);
