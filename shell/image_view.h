#pragma once
// The child window that shows the current image, at 1:1 with scrolling or shrunk to fit, and
// owns it.

#include <windows.h>

#include "core/image_buffer.h"

struct ImageView {
  HWND window;
  SCROLLINFO horizontal;
  SCROLLINFO vertical;
  bool fit;
  ImageBuffer* image;  // replaced whole by resize: read it afresh each time
};

extern ImageView View;

// Creates the view inside the main window with the white 320 × 240 start image.
// False when the window or the image cannot be made.
bool CreateImageView(HWND mainWindow);

void UpdateScrollBars();
void ScrollViewBy(int dx, int dy);

// Sizes the main window to the current image (at most 800 × 600), resets the scroll
// position and repaints. Called after every operation that changes the image.
bool SizeWindowToImage();
