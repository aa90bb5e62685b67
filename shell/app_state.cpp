#include "shell/app_state.h"

HINSTANCE AppInstance = nullptr;
MainWindowInfo MainWindow = {};
ViewSize ImageWindowSize = {};
char SeriesFileName[512] = "";
int SeriesNumber = 1;
