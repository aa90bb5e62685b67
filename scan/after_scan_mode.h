#pragma once
// What the main window does once a scanned image has arrived (the second parameter of
// ID_SCAN_COMPLETE).

inline constexpr int kAfterScanShow = 0;
inline constexpr int kAfterScanPrint = 3;
inline constexpr int kAfterScanSeriesSave = 4;
