#pragma once
// The dialog in which the user chooses how the current image is saved as VQI: colour model,
// alpha plane and its source, coding stages.

#include <windows.h>

#include <cstdint>

// The alpha image chosen in the dialog; emptied each time the dialog opens.
extern char AlphaImagePath[512];

INT_PTR CALLBACK VqiExportDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Asks for the output file and encodes the current image there; false on cancel or a failed
// write.
bool SaveAsVqi(HWND owner, int mode, uint32_t options, uint32_t transparentColour);
