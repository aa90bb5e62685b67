#include "cli/vqi_info.h"

#include "vqi/vqi_file.h"

namespace {

const char* ColourModelName(const VqiLayout& layout) {
  switch (PlaneLayoutOf(layout)) {
    case VqiPlaneLayout::kRgb:
    case VqiPlaneLayout::kRgbAlpha:
      return "RGB";
    case VqiPlaneLayout::kGray:
    case VqiPlaneLayout::kGrayAlpha:
      return "grayscale";
    default:
      return "luma (Y-yR-yB)";
  }
}

std::string StagesOf(uint32_t flags) {
  std::string stages;
  const auto add = [&](const char* name) {
    if (!stages.empty()) stages += ", ";
    stages += name;
  };
  if (flags & kPlaneDelta) add("delta");
  if (flags & kPlaneRle) add("run-length");
  if (flags & kPlaneHuffman) add("Huffman");
  return stages.empty() ? "none" : stages;
}

}  // namespace

bool DescribeVqiFile(const uint8_t* data, size_t length, std::string* text) {
  VqiLayout layout;
  if (!ParseVqiFile(data, length, &layout)) return false;
  const VqiPlaneLayout kind = PlaneLayoutOf(layout);
  const bool alpha = kind == VqiPlaneLayout::kRgbAlpha || kind == VqiPlaneLayout::kGrayAlpha ||
                     kind == VqiPlaneLayout::kLumaAlpha;
  *text = "width: " + std::to_string(layout.width) + "\n";
  *text += "height: " + std::to_string(layout.height) + "\n";
  *text += "colour model: " + std::to_string(layout.colourModel) + " " + ColourModelName(layout) +
           (alpha ? " with alpha" : "") + "\n";
  *text += "planes: " + std::to_string(layout.planeCount) + "\n";
  for (int i = 0; i < layout.planeCount; ++i) {
    const VqiPlane& plane = layout.planes[i];
    *text += "plane " + std::to_string(i) + ": " + std::to_string(plane.storedLength) +
             " bytes, stages: " + StagesOf(plane.flags) + "\n";
  }
  return true;
}
