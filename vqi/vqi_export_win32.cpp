#include <windows.h>

#include "core/image_buffer.h"
#include "core/image_loader.h"
#include "shell/file_dialogs.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_export.h"

namespace {

// The alpha image the options ask for, loaded into `alphaImage`; false, told, when it does
// not load.
bool LoadAlphaImage(HWND owner, const char* alphaImagePath, ImageBuffer* alphaImage) {
  if (LoadImageFile(alphaImage, alphaImagePath)) return true;
  MessageBoxA(owner, "αチャンネル画像を読み込めませんでした．", "エラー", MB_OK);
  return false;
}

}  // namespace

bool EncodeVqi(HWND owner, const char* alphaImagePath, const ImageBuffer* image,
               const char* outputPath, int mode, uint32_t options, uint32_t transparentColour) {
  if (image->kind == kImageEmpty) return false;
  if (mode != kExportRgb && mode != kExportLuma && mode != kExportGrayscale) {
    MessageBoxA(nullptr, "未対応です．", "Error!02", MB_OK);
    return false;
  }
  const bool alphaWanted =
      AlphaKindOf(options) == kAlphaImage && alphaImagePath != nullptr && alphaImagePath[0] != '\0';
  ImageBuffer alphaImage;
  if (alphaWanted && !LoadAlphaImage(owner, alphaImagePath, &alphaImage)) return false;
  const bool written = EncodeVqiImage(image, outputPath, mode, options, transparentColour,
                                      alphaWanted ? &alphaImage : nullptr);
  if (!written) ShowNotSaved(owner, outputPath);
  return written;
}
