#include "shell/printing.h"

#include <commdlg.h>

#include "shell/clipboard.h"
#include "shell/image_view.h"
#include "shell/print_geometry.h"

namespace {

HGLOBAL PrinterDevMode = nullptr;
HGLOBAL PrinterDevNames = nullptr;

}  // namespace

bool PrintImage(HWND owner) {
  if (View.image->kind == kImageEmpty) {
    ShowNoImageLoaded(owner);
    return false;
  }
  PRINTDLGA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.hDevMode = PrinterDevMode;
  dialog.hDevNames = PrinterDevNames;
  dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_COLLATE | PD_HIDEPRINTTOFILE;
  dialog.nCopies = 1;
  const BOOL chosen = PrintDlgA(&dialog);
  PrinterDevMode = dialog.hDevMode;
  PrinterDevNames = dialog.hDevNames;
  if (!chosen || dialog.hDC == nullptr) return false;

  // Taken after the dialog, whose loop lets a resize replace the image.
  const ImageBuffer* image = View.image;
  HDC printer = dialog.hDC;
  const ViewSize printed =
      PrintedSize({GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)},
                  {image->width, image->height});
  DOCINFOA document = {};
  document.cbSize = sizeof document;
  document.lpszDocName = "PeloraApp";
  StartDocA(printer, &document);
  StartPage(printer);
  SetStretchBltMode(printer, HALFTONE);
  StretchBlt(printer, 0, 0, printed.width, printed.height, image->memoryDC, 0, 0, image->width,
             image->height, SRCCOPY);
  EndPage(printer);
  EndDoc(printer);
  DeleteDC(printer);
  return true;
}

void ReleasePrinterChoice() {
  if (PrinterDevMode != nullptr) GlobalFree(PrinterDevMode);
  if (PrinterDevNames != nullptr) GlobalFree(PrinterDevNames);
  PrinterDevMode = PrinterDevNames = nullptr;
}
