#pragma once
// Dialog 110 "設定": the registration with the still-image event service, the action of each
// scanner event, and whether start-up restores the window state.

#include <windows.h>

// 1 for OK (everything written), 2 for cancel (nothing written).
INT_PTR ShowEventSettingsDialog(HWND owner);
