#pragma once
// The small before-and-after pictures of the HSV and the brightness/contrast/gamma dialogs:
// the current image shrunk into a 160 × 120 "before" bitmap (at 96 dpi; larger on finer
// screens, as the dialog is), and an "after" bitmap made by adjusting a copy of it in a work
// buffer.

#include <windows.h>

#include "core/image_buffer.h"

inline constexpr int kPreviewWidth = 160;
inline constexpr int kPreviewHeight = 120;

struct PreviewImages {
  ImageBuffer* work;  // program-wide, holds an image only while the dialog is open
  HBITMAP* before;
  HBITMAP* after;
};

// Makes the work buffer and both bitmaps, draws `image` (white when empty) stretched into the
// before bitmap and shows it in the dialog's before picture. False when they cannot be made.
bool StartPreview(HWND dialog, const PreviewImages& preview, const ImageBuffer* image);

// Copies the before bitmap into the work buffer, for the caller to adjust its pixels; false
// when the preview could not be made.
bool LoadPreviewWork(const PreviewImages& preview);

// Copies the work buffer into the after bitmap and shows it in the after picture.
void ShowPreviewWork(HWND dialog, const PreviewImages& preview);

// Frees the work buffer and releases both bitmaps.
void EndPreview(const PreviewImages& preview);
