#pragma once
// The system's open and save dialogs in front of document open and the BMP writer.

#include <windows.h>

// Lets the user choose a file and opens it; false on cancel or when it does not load.
bool ChooseAndOpenFile(HWND owner);

// Lets the user choose a name and writes the current image there as BMP; false on cancel or
// a failed write.
bool ChooseAndSaveBmp(HWND owner);
