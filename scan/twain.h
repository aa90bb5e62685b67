#pragma once
// TWAIN acquisition: the message loop's filter and the source manager's lifetime.

#include <windows.h>

// True when the message was an event of an enabled TWAIN source and is finished.
bool TwainFilterMessage(MSG* message);

// Closes the source manager if it is open.
void CloseSourceManager();
