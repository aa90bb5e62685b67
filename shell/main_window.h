#pragma once
// The program's one top-level window: lays out the view and the status bar, limits its frame
// to the image, opens dropped files, writes the window state back when it closes, and turns
// menu commands and keys into the operations that do the work.

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the view the client area less the status bar.
void LayOutViewInClientArea();

// The five items that need an image: grey at start, enabled once the first image arrives.
void GrayImageMenuItems(HWND window);
void EnableImageMenuItems(HWND window);

// Shows the current document's pages: next and previous page grey where there is none, the
// page in the status bar.
void ShowDocumentPages(HWND window);

// Sets the view's fit mode, its menu check mark and the scroll bars.
void SetFitMode(bool fit);
