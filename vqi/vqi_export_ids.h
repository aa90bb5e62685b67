// Identifiers of the VQI export dialog, shared by the resource script and the code.
#pragma once

#define IDD_VQI_EXPORT 103

#define IDC_VQI_MODE 1001
#define IDC_VQI_ALPHA_KIND 1002
#define IDC_VQI_RLE 1003
#define IDC_VQI_ALPHA_IMAGE 1004
#define IDC_VQI_HUFFMAN 1005
#define IDC_VQI_DELTA 1006
#define IDC_VQI_RED 1007
#define IDC_VQI_GREEN 1009
#define IDC_VQI_BLUE 1010
