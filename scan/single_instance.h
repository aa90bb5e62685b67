#pragma once
// One window for all starts: a start with a command line hands it over DDE to a running
// instance; otherwise this instance serves the DDE service "Pelora" itself.

#include <windows.h>
#include <ddeml.h>

// Sets up DDE (with the window that receives hand-offs) and the service and topic names.
// Shows "Error: DdeInitialize" and returns false when DDE is not available.
bool InitializeDde(HWND mainWindow);

// True when a running instance answered and took the text.
bool TryHandOffToRunningInstance(const char* text);

// Pokes the text to the connected instance; the hand-off counts as done whatever the result.
bool HandOffToRunningInstance(const char* text);

void RegisterDdeService();
void UnregisterDdeService();

// Frees the names and ends DDE.
void ShutDownDde();

HDDEDATA CALLBACK DdeServerCallback(UINT type, UINT format, HCONV conversation, HSZ string1,
                                    HSZ string2, HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);

// Makes the main window the foreground window, although this process is not in front.
void BringToForeground();
