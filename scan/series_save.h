#pragma once
// Series save: the current image written as the next numbered file of the series (the model
// path's ending chooses PNG, JPEG, TIFF, a one-page PDF, or else BMP; a scanner's feeder batch
// into a ".pdf" series goes into one PDF), and dialog 111 where the model path and the next
// number are set.

#include <windows.h>

// Writes the current image under the series' next name, counts up and stores the next number;
// opens dialog 111 first when no model path is set. True when a file was written; a failed
// write is told.
bool SaveNextInSeries(HWND mainWindow);

// A page of a scan that ends in a series save. Into a PDF series the pages of one batch go
// into one document, written as they arrive; the number counts up when the batch ends. False
// when the page was not saved, which ends the batch.
bool SaveScannedPageInSeries(HWND mainWindow);

// The source has no more pages: the batch's PDF is finished with the pages it holds. When the
// batch did not come to its end (`whole` false) the user is told how many pages were saved.
void EndSeriesBatch(HWND mainWindow, bool whole);

// Dialog 111; 1 for OK (the path is stored in the settings), 2 for cancel.
INT_PTR ShowSeriesSettingsDialog(HWND owner);
