#pragma once
// Series save: the current image written as the next numbered file of the series (the model
// path's ending chooses PNG, JPEG, TIFF or else BMP), and dialog 111 where the model path and
// the next number are set.

#include <windows.h>

// Writes the current image under the series' next name, counts up and stores the next number;
// opens dialog 111 first when no model path is set. True when a file was written; a failed
// write is told.
bool SaveNextInSeries(HWND mainWindow);

// Dialog 111; 1 for OK (the path is stored in the settings), 2 for cancel.
INT_PTR ShowSeriesSettingsDialog(HWND owner);
