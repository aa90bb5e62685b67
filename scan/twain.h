#pragma once
// TWAIN acquisition: the source manager "TWAIN_32.DLL", loaded only while needed; the
// selection of a source; acquisition by native transfer into an image; the message loop's
// filter that feeds the enabled source. When the library cannot be loaded every operation
// fails quietly.

#include <windows.h>

struct ImageBuffer;

// Loads the source manager and opens it for `parent`, which receives ID_SCAN_COMPLETE.
bool OpenSourceManager(HWND parent);

// Closes the source manager (ending an acquisition under way) and unloads it.
bool CloseSourceManager();

// Chooses the source of the next acquisition: by product name without a dialog, or (name
// null) in the source manager's selection dialog. False when none was chosen.
bool SelectSource(const char* productName, HWND parent);

// Opens and enables the current source. The image arrives later through TwainFilterMessage,
// which then posts ID_SCAN_COMPLETE with `afterScanMode` to `parent`.
void Acquire(int afterScanMode, ImageBuffer* target, HWND parent, bool showSourceDialog);

// True when the message was an event of an enabled TWAIN source and is finished.
bool TwainFilterMessage(MSG* message);
