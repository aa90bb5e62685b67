#pragma once
// The main window's image-changing commands, working on the current image of the view. The
// window is to be fitted to the image after a turn and after a dialog that ended with OK.

#include <windows.h>

#include "core/rotation.h"

// Turns the current image a quarter turn (kTurnLeft or kTurnRight).
void RotateCurrentImage(int direction);

// Dialogs 105 (resize), 107 (HSV) and 108 (brightness, contrast and gamma), owned by `owner`;
// true when they ended with OK. Resizing an empty image is refused with a message instead.
bool RunResizeDialog(HWND owner);
bool RunHsvDialog(HWND owner);
bool RunAdjustDialog(HWND owner);

INT_PTR CALLBACK ResizeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HsvDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AdjustDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
