#include <algorithm>
#include <climits>
#include <cstddef>
#include <memory>
#include <new>

#include "core/decoded_pixels.h"
#include "core/image_buffer.h"
#include "core/wic_reader.h"
#include "core/wic_session_win32.h"

namespace {

// Rows asked of the decoder at a time: the picture is never held twice at full size.
constexpr int32_t kBandRows = 64;

// The pixel forms converted by the program itself, exactly; WIC turns every other form into
// 8-bit blue-green-red-alpha first.
bool IsOwnForm(const WICPixelFormatGUID& format, DecodedPixels* form) {
  const struct {
    const GUID& format;
    DecodedPixels form;
  } kOwnForms[] = {
      {GUID_WICPixelFormat24bppBGR, DecodedPixels::kBgr24},
      {GUID_WICPixelFormat32bppBGRA, DecodedPixels::kBgra32},
      {GUID_WICPixelFormat16bppGray, DecodedPixels::kGrey16},
      {GUID_WICPixelFormat48bppRGB, DecodedPixels::kRgb48},
      {GUID_WICPixelFormat64bppRGBA, DecodedPixels::kRgba64},
  };
  for (const auto& own : kOwnForms) {
    if (IsEqualGUID(format, own.format)) {
      *form = own.form;
      return true;
    }
  }
  return false;
}

// Only TIFF files have pages; other formats of several frames show their first.
bool CountPages(IWICBitmapDecoder* decoder, int32_t* pages) {
  GUID container;
  UINT frames = 0;
  if (FAILED(decoder->GetContainerFormat(&container)) || FAILED(decoder->GetFrameCount(&frames)) ||
      frames == 0) {
    return false;
  }
  *pages = IsEqualGUID(container, GUID_ContainerFormatTiff)
               ? static_cast<int32_t>(std::min<UINT>(frames, INT32_MAX))
               : 1;
  return true;
}

// Copies the source's rows, a band at a time, into the image's bottom-up rows.
bool CopyRows(IWICBitmapSource* source, DecodedPixels form, ImageBuffer* target) {
  const int32_t width = target->width;
  const int32_t height = target->height;
  const UINT rowBytes = static_cast<UINT>(BytesPerDecodedPixel(form) * size_t(width));
  const int32_t bandRows = std::min(kBandRows, height);
  std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[size_t{rowBytes} * bandRows]);
  if (!band) return false;
  for (int32_t top = 0; top < height; top += bandRows) {
    const int32_t rows = std::min(bandRows, height - top);
    const WICRect rect = {0, top, width, rows};
    if (FAILED(source->CopyPixels(&rect, rowBytes, rowBytes * UINT(rows), band.get()))) {
      return false;
    }
    for (int32_t r = 0; r < rows; ++r) {
      ConvertDecodedRow(form, band.get() + size_t{rowBytes} * r, width,
                        target->pixels + ptrdiff_t{height - 1 - top - r} * target->stride);
    }
  }
  return true;
}

// A resolution as the image record keeps it; 0 for none or one beyond reason.
int32_t DotsPerInch(double resolution) {
  return resolution >= 1 && resolution <= 1e6 ? static_cast<int32_t>(resolution + 0.5) : 0;
}

// Fills the empty target with the frame; a picture too large for an image record is refused
// before any memory is taken for it.
bool ReadFrame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, ImageBuffer* target) {
  UINT width = 0, height = 0;
  WICPixelFormatGUID format;
  if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&format)) ||
      width > INT32_MAX || height > INT32_MAX) {
    return false;
  }
  IWICBitmapSource* source = frame;
  IWICFormatConverter* converter = nullptr;
  DecodedPixels form;
  if (!IsOwnForm(format, &form)) {
    form = DecodedPixels::kBgra32;
    if (FAILED(factory->CreateFormatConverter(&converter))) return false;
    if (FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom))) {
      converter->Release();
      return false;
    }
    source = converter;
  }
  bool read =
      CreateImageBuffer(target, static_cast<int32_t>(width), 24, static_cast<int32_t>(height));
  if (read && !CopyRows(source, form, target)) {
    FreeImageBuffer(target);
    read = false;
  }
  double dpiX = 0, dpiY = 0;
  if (read && SUCCEEDED(frame->GetResolution(&dpiX, &dpiY))) {
    target->dpiX = DotsPerInch(dpiX);
    target->dpiY = DotsPerInch(dpiY);
  }
  if (converter != nullptr) converter->Release();
  return read;
}

template <typename Interface>
void Release(Interface* object) {
  if (object != nullptr) object->Release();
}

}  // namespace

bool ReadWicImage(const uint8_t* bytes, size_t length, int32_t page, int32_t* pageCount,
                  ImageBuffer* target) {
  if (length > MAXDWORD || page < 0) return false;
  WicSession session;
  if (!StartWicSession(&session)) return false;
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  int32_t pages = 0;
  // The stream reads the caller's bytes where they are; nothing writes through it.
  const bool read = SUCCEEDED(session.factory->CreateStream(&stream)) &&
                    SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes),
                                                           static_cast<DWORD>(length))) &&
                    SUCCEEDED(session.factory->CreateDecoderFromStream(
                        stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
                    CountPages(decoder, &pages) && page < pages &&
                    SUCCEEDED(decoder->GetFrame(static_cast<UINT>(page), &frame)) &&
                    ReadFrame(session.factory, frame, target);
  Release(frame);
  Release(decoder);
  Release(stream);
  EndWicSession(&session);
  if (read) *pageCount = pages;
  return read;
}
