#pragma once
// The optional status bar: a ready text and the current image's size.

// Shows or hides the bar, creating it on the first show, and lays the view out again.
void ShowStatusBar(bool show);

// Sets the bar's parts and texts; they are refreshed only when the bar is shown or hidden.
void UpdateStatusTexts();

// The bar's height while it is shown, else 0.
int StatusBarHeight();
