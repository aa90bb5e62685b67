#pragma once
// The Windows Imaging Component (WIC) for the length of one read or write: COM started on the
// calling thread where no one has started it yet, and the version-1 imaging factory, which
// Windows 7 has too.

#include <windows.h>
#include <wincodec.h>

struct WicSession {
  IWICImagingFactory* factory = nullptr;
  bool startedCom = false;  // this session started COM and ends it again
};

// False when WIC cannot be reached; the session then holds nothing.
bool StartWicSession(WicSession* session);

void EndWicSession(WicSession* session);
