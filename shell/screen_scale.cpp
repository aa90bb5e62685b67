#include "shell/screen_scale.h"

int ScaleToScreen(HWND window, int pixelsAt96Dpi) {
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return MulDiv(pixelsAt96Dpi, dpi, 96);
}
