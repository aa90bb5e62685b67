#pragma once
// Next and previous: the image files of the current document's folder as a ring.

#include <windows.h>

// Rebuilds the list from the current document's folder. False when there is no current
// document or folder (the last list then stays) or the folder cannot be read.
bool BuildFolderList();

// Open the next (previous) image file of the folder; false when there is none to step to.
bool OpenNextFile(HWND mainWindow);
bool OpenPreviousFile(HWND mainWindow);
