#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "core/image_buffer.h"
#include "core/system_picture.h"

namespace {

constexpr int kHimetricPerInch = 2540;

// Opens the file block as a stream and loads the picture; the stream is released at once
// without freeing the block beneath it, which the caller still owns.
IPicture* LoadPicture(const uint8_t* bytes, size_t length) {
  HGLOBAL block = GlobalHandle(bytes);
  if (block == nullptr || GlobalSize(block) < length || length > 0x7FFFFFFF) return nullptr;
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) return nullptr;
  IPicture* picture = nullptr;
  // Run mode: the picture object keeps the decoded picture only, not the file's bytes.
  const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(length), TRUE, IID_IPicture,
                                        reinterpret_cast<void**>(&picture));
  stream->Release();
  return SUCCEEDED(loaded) ? picture : nullptr;
}

bool CreateAtDisplayResolution(ImageBuffer* target, OLE_XSIZE_HIMETRIC width,
                               OLE_YSIZE_HIMETRIC height) {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (display == nullptr) return false;
  const int pixelsWide = MulDiv(width, GetDeviceCaps(display, LOGPIXELSX), kHimetricPerInch);
  const int pixelsHigh = MulDiv(height, GetDeviceCaps(display, LOGPIXELSY), kHimetricPerInch);
  DeleteDC(display);
  return CreateImageBuffer(target, pixelsWide, 24, pixelsHigh);
}

}  // namespace

bool ReadSystemPicture(const uint8_t* bytes, ImageBuffer* target, size_t length) {
  IPicture* picture = LoadPicture(bytes, length);
  if (picture == nullptr) return false;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  bool rendered = false;
  if (SUCCEEDED(picture->get_Width(&width)) && SUCCEEDED(picture->get_Height(&height)) &&
      (target->kind != kImageEmpty || CreateAtDisplayResolution(target, width, height))) {
    // HIMETRIC coordinates grow upwards: starting at the bottom edge with a negative height
    // draws the picture upright.
    rendered = picture->Render(target->memoryDC, 0, 0, target->width, target->height, 0, height,
                               width, -height, nullptr) == S_OK;
  }
  picture->Release();
  return rendered;
}
