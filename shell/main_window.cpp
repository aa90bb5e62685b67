#include "shell/main_window.h"

#include <shellapi.h>

#include "adjust/adjust_dialogs.h"
#include "scan/after_scan_mode.h"
#include "scan/document_open.h"
#include "scan/folder_browsing.h"
#include "scan/event_settings_dialog.h"
#include "scan/series_save.h"
#include "scan/single_instance.h"
#include "scan/twain.h"
#include "shell/app_state.h"
#include "shell/clipboard.h"
#include "shell/file_dialogs.h"
#include "shell/image_view.h"
#include "shell/printing.h"
#include "shell/resource.h"
#include "shell/settings.h"
#include "shell/status_bar.h"
#include "shell/version.h"
#include "shell/view_geometry.h"
#include "vqi/vqi_export_dialog.h"
#include "vqi/vqi_export_ids.h"

namespace {

const UINT kImageMenuItems[] = {ID_FILE_SAVE_BMP, ID_FILE_SAVE_VQI, ID_FILE_SAVE_AS,
                                ID_FILE_PRINT,    ID_EDIT_COPY,     ID_EDIT_PASTE_INTO};

void SetMenuCheck(UINT item, bool checked) {
  CheckMenuItem(GetMenu(MainWindow.window), item, checked ? MF_CHECKED : MF_UNCHECKED);
}

void WriteWindowState(HWND window) {
  WriteSettingInt("SeriesSave", "SeriesNo", SeriesNumber);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  WriteSettingInt("PeloraApp", "WinState", static_cast<int>(placement.showCmd));
  WriteSettingInt("PeloraApp", "WinRectL", placement.rcNormalPosition.left);
  WriteSettingInt("PeloraApp", "WinRectT", placement.rcNormalPosition.top);
  WriteSettingInt("PeloraApp", "WinRectR", placement.rcNormalPosition.right);
  WriteSettingInt("PeloraApp", "WinRectB", placement.rcNormalPosition.bottom);
  WriteSettingInt("PeloraApp", "FitToWindow", View.fit ? 1 : 0);
}

void OpenDroppedFile(HWND window, HDROP drop) {
  const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  if (length > kMaxDocumentTextLength) {
    ShowPathTooLong(window);
  } else {
    char path[kMaxDocumentTextLength + 1];
    DragQueryFileA(drop, 0, path, sizeof path);
    OpenDocument(path, window);
  }
  DragFinish(drop);
}

// Shows an image just scanned and does what the scan was for; false when it was to be saved
// and was not.
bool CompleteScan(HWND window, LPARAM afterScanMode) {
  SizeWindowToImage();
  EnableImageMenuItems(window);
  EndDocumentPages(window);
  if (afterScanMode == kAfterScanPrint) PrintImage(window);
  return afterScanMode != kAfterScanSeriesSave || SaveScannedPageInSeries(window);
}

void RunCommand(HWND window, UINT command) {
  switch (command) {
    case ID_FILE_OPEN:
      ChooseAndOpenFile(window);
      break;
    case ID_FILE_SAVE_BMP:
      ChooseAndSaveBmp(window);
      break;
    case ID_FILE_SAVE_VQI:
      DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_VQI_EXPORT), window, VqiExportDialog, 0);
      break;
    case ID_FILE_SAVE_AS:
      ChooseAndSaveImage(window);
      break;
    case ID_FILE_PRINT:
      PrintImage(window);
      break;
    case ID_FILE_NEXT:
      OpenNextFile(window);
      break;
    case ID_FILE_PREV:
      OpenPreviousFile(window);
      break;
    case ID_EDIT_COPY:
      CopyImageToClipboard(window);
      break;
    case ID_EDIT_PASTE:
      if (PasteImage(window)) {
        SizeWindowToImage();
        EnableImageMenuItems(window);
        EndDocumentPages(window);
      }
      break;
    case ID_EDIT_PASTE_INTO:
      PasteIntoImage(window);
      break;
    case ID_FILE_EXIT:
      SendMessageA(window, WM_CLOSE, 0, 0);
      break;
    case ID_VIEW_FIT:
      SetFitMode(!View.fit);
      InvalidateRect(View.window, nullptr, TRUE);
      break;
    case ID_VIEW_NEXT_PAGE:
      OpenDocumentPage(+1, window);
      break;
    case ID_VIEW_PREV_PAGE:
      OpenDocumentPage(-1, window);
      break;
    case ID_VIEW_STATUSBAR:
      SetMenuCheck(ID_VIEW_STATUSBAR, !MainWindow.statusBarShown);
      ShowStatusBar(!MainWindow.statusBarShown);
      break;
    case ID_EDIT_RESIZE:
      if (RunResizeDialog(window)) SizeWindowToImage();
      break;
    case ID_EDIT_HSV:
      if (RunHsvDialog(window)) SizeWindowToImage();
      break;
    case ID_EDIT_ADJUST:
      if (RunAdjustDialog(window)) SizeWindowToImage();
      break;
    case ID_ROTATE_LEFT:
      RotateCurrentImage(kTurnLeft);
      SizeWindowToImage();
      break;
    case ID_ROTATE_RIGHT:
      RotateCurrentImage(kTurnRight);
      SizeWindowToImage();
      break;
    case ID_HELP_ABOUT:
      MessageBoxA(window, "Pelora Ver." PELORA_VERSION, "About Pelora", MB_OK);
      break;
    case ID_TWAIN_ACQUIRE:
      Acquire(kAfterScanShow, window, true);
      break;
    case ID_TWAIN_SELECT:
      SelectSource(nullptr, window);
      break;
    case ID_EDIT_SETTINGS:
      if (ShowEventSettingsDialog(window) == IDOK) SizeWindowToImage();
      break;
    case ID_SERIES_SETTINGS:
      ShowSeriesSettingsDialog(window);
      break;
    case ID_SERIES_SAVE:
      // The pages of a batch are being saved, and may be going into a document under way.
      if (!RefusedWhileScanning(window)) SaveNextInSeries(window);
      break;
    case ID_SOURCE_EVENT:
      TakeUpSourceEvent();
      break;
    default:
      break;
  }
}

}  // namespace

void LayOutViewInClientArea() {
  RECT client;
  GetClientRect(MainWindow.window, &client);
  SetWindowPos(View.window, nullptr, 0, 0, client.right, client.bottom - StatusBarHeight(),
               SWP_NOZORDER | SWP_NOMOVE);
}

void GrayImageMenuItems(HWND window) {
  for (UINT item : kImageMenuItems) EnableMenuItem(GetMenu(window), item, MF_GRAYED);
}

void EnableImageMenuItems(HWND window) {
  for (UINT item : kImageMenuItems) EnableMenuItem(GetMenu(window), item, MF_ENABLED);
}

void ShowDocumentPages(HWND window) {
  const auto stateFor = [](int step) {
    return SteppedPage(CurrentDocumentPages, step) < 0 ? MF_GRAYED : MF_ENABLED;
  };
  EnableMenuItem(GetMenu(window), ID_VIEW_NEXT_PAGE, stateFor(+1));
  EnableMenuItem(GetMenu(window), ID_VIEW_PREV_PAGE, stateFor(-1));
  ShowStatusPage(PageStatusText(CurrentDocumentPages));
}

void SetFitMode(bool fit) {
  SetMenuCheck(ID_VIEW_FIT, fit);
  View.fit = fit;
  UpdateScrollBars();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // The pages of a feeder batch are sent: the result tells whether to go on.
      if (LOWORD(wParam) == ID_SCAN_COMPLETE) return CompleteScan(window, lParam) ? 1 : 0;
      if (LOWORD(wParam) == ID_SCAN_BATCH_END) EndSeriesBatch(window, lParam != 0);
      RunCommand(window, LOWORD(wParam));
      break;
    case WM_SIZE:
      if (MainWindow.statusBarShown) SendMessageA(MainWindow.statusBar, WM_SIZE, wParam, lParam);
      if (View.window != nullptr) {
        SetWindowPos(View.window, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam) - StatusBarHeight(),
                     SWP_NOZORDER | SWP_NOMOVE);
      }
      break;
    case WM_SIZING: {
      auto* dragged = reinterpret_cast<RECT*>(lParam);
      const ScreenRect limited =
          LimitDraggedFrame({dragged->left, dragged->top, dragged->right, dragged->bottom},
                            ImageWindowSize, StatusBarHeight());
      dragged->right = limited.right;
      dragged->bottom = limited.bottom;
      LayOutViewInClientArea();
      break;
    }
    case WM_DROPFILES:
      OpenDroppedFile(window, reinterpret_cast<HDROP>(wParam));
      break;
    case WM_CLOSE:
      // Closing unloads the source manager, which may be showing its selection dialog.
      if (RefusedDuringSourceManagerCall(window)) return 0;
      WriteWindowState(window);
      break;
    case WM_DESTROY:
      // A feeder batch cut short and closed on while it is told keeps the pages it has.
      EndSeriesBatch(window, true);
      UnregisterDdeService();
      CloseSourceManager();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
