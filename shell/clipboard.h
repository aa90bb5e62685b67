#pragma once
// The current image to and from the clipboard, as a bitmap.

#include <windows.h>

void CopyImageToClipboard(HWND mainWindow);

// Replaces the current image with the clipboard's bitmap; false (the image unchanged) when
// the clipboard holds none or it cannot be read.
bool PasteImage(HWND mainWindow);

// Draws the clipboard's bitmap into the current image at its top-left corner.
void PasteIntoImage(HWND mainWindow);

// Tells the user that there is no image to work on.
void ShowNoImageLoaded(HWND owner);
