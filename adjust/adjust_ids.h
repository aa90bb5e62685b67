// Resource and control identifiers of the image adjustment dialogs, shared by the resource
// script and the code.
#pragma once

#define IDD_RESIZE 105
#define IDD_HSV 107
#define IDD_ADJUST 108

// Resize.
#define IDC_RESIZE_WIDTH 1011
#define IDC_RESIZE_HEIGHT 1012
#define IDC_RESIZE_CURRENT 1013
#define IDC_RESIZE_KEEP_RATIO 1014
#define IDC_RESIZE_UNIT 1015
#define IDC_RESIZE_WIDTH_UNIT 1016
#define IDC_RESIZE_HEIGHT_UNIT 1017

// HSV.
#define IDC_HSV_SATURATION 1018
#define IDC_HSV_VALUE 1019
#define IDC_HSV_HUE 1020

// Brightness, contrast and gamma.
#define IDC_ADJUST_BRIGHTNESS 1021
#define IDC_ADJUST_CONTRAST 1022
#define IDC_ADJUST_GAMMA 1023

// Shared by the HSV and the brightness/contrast/gamma dialogs.
#define IDC_PREVIEW_BEFORE 1026
#define IDC_PREVIEW_AFTER 1028
#define IDC_SLIDER_FIRST 1029
#define IDC_SLIDER_SECOND 1030
#define IDC_SLIDER_THIRD 1031
