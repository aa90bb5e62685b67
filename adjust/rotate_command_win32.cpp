#include "adjust/adjust_dialogs.h"
#include "shell/image_view.h"

void RotateCurrentImage(int direction) {
  GdiFlush();  // drawing into the image must be done before its pixels are read
  RotateImage(View.image, direction);
}
