#include "core/wic_session_win32.h"

bool StartWicSession(WicSession* session) {
  // A thread that runs COM in another mode (RPC_E_CHANGED_MODE) can still use it; then it is
  // not ours to end.
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  session->startedCom = SUCCEEDED(started);
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&session->factory)))) {
    session->factory = nullptr;
    EndWicSession(session);
    return false;
  }
  return true;
}

void EndWicSession(WicSession* session) {
  if (session->factory != nullptr) session->factory->Release();
  session->factory = nullptr;
  if (session->startedCom) CoUninitialize();
  session->startedCom = false;
}
