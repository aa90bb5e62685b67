#pragma once
// TWAIN acquisition: the source manager "TWAIN_32.DLL", loaded only while needed; the
// selection of a source; acquisition by native transfer into the current image. When the
// library cannot be loaded every operation fails quietly.

#include <windows.h>

// Loads the source manager and opens it for `parent`, which receives ID_SCAN_COMPLETE.
bool OpenSourceManager(HWND parent);

// Closes the source manager (ending an acquisition under way) and unloads it.
bool CloseSourceManager();

// Tells the user that a scan is under way and gives true while a source is open or the source
// manager is being called (its selection dialog may be showing): nothing may touch the
// session then, or the scan would never complete.
bool RefusedWhileScanning(HWND owner);

// The same, only while the source manager is being called: it must not be closed under its
// own dialog.
bool RefusedDuringSourceManagerCall(HWND owner);

// Chooses the source of the next acquisition: by product name without a dialog, or (name
// null) in the source manager's selection dialog. False when none was chosen, and refused
// while a scan is under way.
bool SelectSource(const char* productName, HWND parent);

// Opens and enables the current source, refused while a scan is under way. While the source
// is enabled every message the thread takes, in any message loop, goes to it first; when it
// has a page ready or asks to be closed, ID_SOURCE_EVENT is posted to `parent`.
void Acquire(int afterScanMode, HWND parent, bool showSourceDialog);

// What `parent` does for ID_SOURCE_EVENT: takes the pages, which become the current image,
// whatever image is current then, and closes the source and the source manager. A new image
// is announced by posting ID_SCAN_COMPLETE with the acquisition's mode. A series save is
// sent each page of a feeder batch that way at once, a result of 0 (not saved) ending the
// batch, and then ID_SCAN_BATCH_END, 1 when the batch came whole.
void TakeUpSourceEvent();
