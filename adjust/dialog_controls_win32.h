#pragma once
// Small helpers for the controls of the adjustment dialogs.

#include <windows.h>

#include <cstdint>

// The number in an edit: signed or unsigned decimal, 0 for a text that is not a number, and
// kept too large (never wrapped) when it is beyond every field's range.
int64_t ReadDialogNumber(HWND dialog, int control, bool signedNumber);

// A trackbar without ticks, its range and position.
void SetUpSlider(HWND dialog, int control, int minimum, int maximum, int position);

// Writes the position of the trackbar `slider` into the edit paired with it: the first pairs
// array entry whose slider is that trackbar.
struct SliderEdit {
  int slider;
  int edit;
};
void CopySliderToEdit(HWND dialog, HWND slider, const SliderEdit (&pairs)[3]);
