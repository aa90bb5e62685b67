#pragma once
// The optional status bar: a ready text, the current image's size and the page shown.

#include <string>

// Shows or hides the bar, creating it on the first show, and lays the view out again.
void ShowStatusBar(bool show);

// Sets the bar's parts and texts; they are refreshed only when the bar is shown or hidden.
void UpdateStatusTexts();

// Shows the page text in a part of its own at once, and whenever the bar is shown again.
void ShowStatusPage(const std::string& text);

// The bar's height while it is shown, else 0.
int StatusBarHeight();
