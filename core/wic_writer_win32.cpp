#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/image_buffer.h"
#include "core/wic_session_win32.h"
#include "core/wic_writer.h"

namespace {

// Rows handed to the encoder at a time: the picture is never held twice at full size.
constexpr int32_t kBandRows = 64;

// The encoded file, held in pieces of a fixed size so that growing it never copies what is
// there (a 100 MB TIFF would otherwise need twice its size at once in the 32-bit release).
// Encoders seek back to fill in offsets, so the file is handed to the sink only when complete.
class PieceStream final : public IStream {
 public:
  static constexpr size_t kPieceSize = size_t{1} << 20;

  // Hands the file's bytes to the sink in order.
  bool Deliver(ByteSink sink) const {
    for (size_t at = 0; at < size_; at += kPieceSize) {
      if (!sink.write(sink.context, pieces_[at / kPieceSize].get(),
                      std::min(kPieceSize, size_ - at))) {
        return false;
      }
    }
    return true;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) ||
        IsEqualIID(iid, IID_IStream)) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the writer's stack, longer than the encoder holds it.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) override {
    const size_t count = position_ < size_ ? std::min<size_t>(size, size_ - position_) : 0;
    for (size_t done = 0; done < count;) {
      const size_t at = position_ + done, offset = at % kPieceSize;
      const size_t part = std::min(count - done, kPieceSize - offset);
      std::memcpy(static_cast<uint8_t*>(data) + done, pieces_[at / kPieceSize].get() + offset,
                  part);
      done += part;
    }
    position_ += count;
    if (read != nullptr) *read = static_cast<ULONG>(count);
    return count == size ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
    if (written != nullptr) *written = 0;
    if (!Reserve(position_ + size)) return STG_E_MEDIUMFULL;
    for (size_t done = 0; done < size;) {
      const size_t at = position_ + done, offset = at % kPieceSize;
      const size_t part = std::min(size_t{size} - done, kPieceSize - offset);
      std::memcpy(pieces_[at / kPieceSize].get() + offset, static_cast<const uint8_t*>(data) + done,
                  part);
      done += part;
    }
    position_ += size;
    size_ = std::max(size_, position_);
    if (written != nullptr) *written = size;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* newPosition) override {
    const LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                          : origin == STREAM_SEEK_CUR ? LONGLONG(position_)
                          : origin == STREAM_SEEK_END ? LONGLONG(size_)
                                                      : -1;
    const LONGLONG target = base + move.QuadPart;
    if (base < 0 || target < 0 || ULONGLONG(target) > SIZE_MAX / 2) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(target);
    if (newPosition != nullptr) newPosition->QuadPart = position_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
    if (size.QuadPart > SIZE_MAX / 2 || !Reserve(size_t(size.QuadPart))) return STG_E_MEDIUMFULL;
    size_ = static_cast<size_t>(size.QuadPart);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  // Makes room for `size` bytes; bytes between the old end and a later write read as zero.
  bool Reserve(size_t size) {
    if (size > SIZE_MAX / 2) return false;
    while (pieces_.size() * kPieceSize < size) {
      uint8_t* piece = new (std::nothrow) uint8_t[kPieceSize]();
      if (piece == nullptr) return false;
      pieces_.emplace_back(piece);
    }
    return true;
  }

  std::vector<std::unique_ptr<uint8_t[]>> pieces_;
  size_t size_ = 0;
  size_t position_ = 0;
  ULONG references_ = 1;
};

template <typename Interface>
void Release(Interface* object) {
  if (object != nullptr) object->Release();
}

bool WriteOption(IPropertyBag2* options, const wchar_t* name, VARIANT value) {
  PROPBAG2 option{};
  option.pstrName = const_cast<LPOLESTR>(name);
  return SUCCEEDED(options->Write(1, &option, &value));
}

// JPEG's quality; TIFF is compressed without loss, as an uncompressed page would be as large
// as the pixels.
bool SetOptions(IPropertyBag2* options, WicFileFormat format, int32_t jpegQuality) {
  VARIANT value;
  VariantInit(&value);
  if (format == WicFileFormat::kJpeg) {
    value.vt = VT_R4;
    value.fltVal = float(std::clamp(jpegQuality, int32_t{1}, int32_t{100})) / 100.0f;
    return WriteOption(options, L"ImageQuality", value);
  }
  if (format == WicFileFormat::kTiff) {
    value.vt = VT_UI1;
    value.bVal = WICTiffCompressionZIP;
    return WriteOption(options, L"TiffCompressionMethod", value);
  }
  return true;
}

// Hands the image's bottom-up rows to the frame top-down, a band at a time, as 24-bit pixels.
bool WriteRows(IWICBitmapFrameEncode* frame, const ImageBuffer& image) {
  const int32_t bytesPerPixel = image.bitsPerPixel / 8;
  const UINT rowBytes = UINT(3) * UINT(image.width);
  const int32_t bandRows = std::min(kBandRows, image.height);
  std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[size_t{rowBytes} * bandRows]);
  if (!band) return false;
  for (int32_t top = 0; top < image.height; top += bandRows) {
    const int32_t rows = std::min(bandRows, image.height - top);
    for (int32_t r = 0; r < rows; ++r) {
      const uint8_t* from = image.pixels + ptrdiff_t{image.height - 1 - top - r} * image.stride;
      uint8_t* to = band.get() + size_t{rowBytes} * r;
      for (int32_t x = 0; x < image.width; ++x, from += bytesPerPixel, to += 3) {
        to[0] = from[0], to[1] = from[1], to[2] = from[2];
      }
    }
    if (FAILED(frame->WritePixels(UINT(rows), rowBytes, rowBytes * UINT(rows), band.get()))) {
      return false;
    }
  }
  return true;
}

bool EncodeFrame(IWICBitmapEncoder* encoder, const ImageBuffer& image, WicFileFormat format,
                 int32_t jpegQuality) {
  IWICBitmapFrameEncode* frame = nullptr;
  IPropertyBag2* options = nullptr;
  WICPixelFormatGUID pixelFormat = GUID_WICPixelFormat24bppBGR;
  const bool encoded = SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
                       SetOptions(options, format, jpegQuality) &&
                       SUCCEEDED(frame->Initialize(options)) &&
                       SUCCEEDED(frame->SetSize(UINT(image.width), UINT(image.height))) &&
                       (image.dpiX <= 0 || image.dpiY <= 0 ||
                        SUCCEEDED(frame->SetResolution(image.dpiX, image.dpiY))) &&
                       SUCCEEDED(frame->SetPixelFormat(&pixelFormat)) &&
                       IsEqualGUID(pixelFormat, GUID_WICPixelFormat24bppBGR) &&
                       WriteRows(frame, image) && SUCCEEDED(frame->Commit());
  Release(options);
  Release(frame);
  return encoded;
}

}  // namespace

bool EncodeWicImage(const ImageBuffer& image, WicFileFormat format, int32_t jpegQuality,
                    ByteSink sink) {
  if (image.kind == kImageEmpty) return false;
  const GUID& container = format == WicFileFormat::kPng    ? GUID_ContainerFormatPng
                          : format == WicFileFormat::kJpeg ? GUID_ContainerFormatJpeg
                                                           : GUID_ContainerFormatTiff;
  WicSession session;
  if (!StartWicSession(&session)) return false;
  PieceStream file;
  IWICBitmapEncoder* encoder = nullptr;
  const bool encoded = SUCCEEDED(session.factory->CreateEncoder(container, nullptr, &encoder)) &&
                       SUCCEEDED(encoder->Initialize(&file, WICBitmapEncoderNoCache)) &&
                       EncodeFrame(encoder, image, format, jpegQuality) &&
                       SUCCEEDED(encoder->Commit());
  Release(encoder);
  EndWicSession(&session);
  return encoded && file.Deliver(sink);
}
