#pragma once
// The current image on one page, as large as the page allows.

#include <windows.h>

// Shows the print dialog and prints; false when the user cancelled or there is no image.
// The printer and settings chosen are offered again at the next print.
bool PrintImage(HWND owner);

// Frees the kept printer choice; at the end of the program.
void ReleasePrinterChoice();
