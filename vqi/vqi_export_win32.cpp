#include <windows.h>

#include <new>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"

bool EncodeVqi(HWND owner, const char* alphaImagePath, const ImageBuffer* image,
               const char* outputPath, int mode, uint32_t options, uint32_t transparentColour) {
  if (image->kind == kImageEmpty) return false;
  if (mode != kExportRgb && mode != kExportLuma && mode != kExportGrayscale) {
    MessageBoxA(nullptr, "未対応です．", "Error!02", MB_OK);
    return false;
  }
  if (AlphaKindOf(options) != kAlphaImage || alphaImagePath == nullptr ||
      alphaImagePath[0] == '\0') {
    return EncodeVqiImage(image, outputPath, mode, options, transparentColour, nullptr);
  }
  ImageBuffer* alphaImage = new (std::nothrow) ImageBuffer;
  if (alphaImage == nullptr) return false;
  bool written = false;
  if (LoadImageFile(alphaImage, alphaImagePath)) {
    written = EncodeVqiImage(image, outputPath, mode, options, transparentColour, alphaImage);
  } else {
    MessageBoxA(owner, "αチャンネル画像を読み込めませんでした．", "エラー", MB_OK);
  }
  DeleteImageBuffer(alphaImage);
  return written;
}
