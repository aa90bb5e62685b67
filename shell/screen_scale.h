#pragma once
// Sizes in pixels that were chosen for a 96-dpi screen, grown with the screen's resolution the
// way dialog layouts and fonts grow (the program is DPI aware, so nothing stretches them).

#include <windows.h>

int ScaleToScreen(HWND window, int pixelsAt96Dpi);
