// vqiconv: converts between BMP and VQI files and describes VQI files, for batch work
// without the viewer.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/image_input.h"
#include "cli/vqi_info.h"
#include "core/bmp_writer.h"
#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_file.h"

namespace {

constexpr int kExitFailure = 1;

const char kUsage[] =
    "usage:\n"
    "  vqiconv encode [OPTIONS] INPUT OUTPUT.vqi\n"
    "  vqiconv decode INPUT.vqi OUTPUT.bmp\n"
    "  vqiconv info FILE.vqi\n"
    "  vqiconv --help\n"
    "\n"
    "encode  writes INPUT (a BMP of 1, 4, 8, 16, 24 or 32 bits, uncompressed, or a VQI\n"
    "        file) as a VQI file. Options:\n"
    "          --mode rgb|luma|gray   planes: B, G, R (exact); Y, yR, yB (luma and colour\n"
    "                                 differences, rounded); or Y alone. Default luma.\n"
    "          --no-delta             leave out delta coding (on by default)\n"
    "          --no-rle               leave out run-length coding (on by default)\n"
    "          --no-huffman           leave out Huffman coding (on by default)\n"
    "          --transparent R,G,B    add an alpha plane: pixels of exactly this colour\n"
    "                                 become transparent\n"
    "          --alpha-image FILE     add an alpha plane from the blue channel of FILE (BMP\n"
    "                                 or VQI); pixels beyond its size stay opaque\n"
    "        A coding stage is kept for a plane only where it makes the plane shorter.\n"
    "decode  writes a VQI file as a 24-bit BMP file; alpha planes are laid over black.\n"
    "info    prints width, height, colour model, plane count and, per plane, its stored\n"
    "        length and coding stages.\n"
    "\n"
    "Exit status 0 on success; 1 on bad input or a failed write, with one line on standard\n"
    "error naming the file and the reason. An existing output file is replaced only by a\n"
    "complete one.\n";

int Fail(const std::string& subject, const std::string& reason) {
  std::fprintf(stderr, "vqiconv: %s: %s\n", subject.c_str(), reason.c_str());
  return kExitFailure;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "vqiconv: %s (see vqiconv --help)\n", problem.c_str());
  return kExitFailure;
}

// "R,G,B" with each part 0–255, as the value blue + green×256 + red×65536 of a pixel.
bool ParseColour(const char* text, uint32_t* colour) {
  unsigned parts[3];
  int consumed = 0;
  if (std::sscanf(text, "%3u,%3u,%3u%n", &parts[0], &parts[1], &parts[2], &consumed) != 3 ||
      text[consumed] != '\0') {
    return false;
  }
  for (unsigned part : parts) {
    if (part > 255) return false;
  }
  *colour = parts[0] << 16 | parts[1] << 8 | parts[2];
  return true;
}

int Encode(const std::vector<std::string>& args) {
  int mode = kExportLuma;
  uint32_t options = kExportDelta | kExportRle | kExportHuffman;
  uint32_t transparentColour = 0;
  std::string alphaPath;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--mode" && hasValue) {
      const std::string& value = args[++i];
      if (value == "rgb") {
        mode = kExportRgb;
      } else if (value == "luma") {
        mode = kExportLuma;
      } else if (value == "gray") {
        mode = kExportGrayscale;
      } else {
        return UsageError("unknown mode '" + value + "'");
      }
    } else if (arg == "--no-delta") {
      options &= ~kExportDelta;
    } else if (arg == "--no-rle") {
      options &= ~kExportRle;
    } else if (arg == "--no-huffman") {
      options &= ~kExportHuffman;
    } else if (arg == "--transparent" && hasValue) {
      if (AlphaKindOf(options) != kAlphaNone) return UsageError("only one alpha source");
      if (!ParseColour(args[++i].c_str(), &transparentColour)) {
        return UsageError("--transparent needs R,G,B with each part 0 to 255");
      }
      options |= kAlphaTransparentColour << 8;
    } else if (arg == "--alpha-image" && hasValue) {
      if (AlphaKindOf(options) != kAlphaNone) return UsageError("only one alpha source");
      alphaPath = args[++i];
      options |= kAlphaImage << 8;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown or incomplete option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return UsageError("encode needs INPUT and OUTPUT.vqi");

  ImageBuffer image;
  std::string reason;
  if (!ReadInputImage(files[0].c_str(), &image, &reason)) return Fail(files[0], reason);
  ImageBuffer alphaImage;
  if (!alphaPath.empty() && !ReadInputImage(alphaPath.c_str(), &alphaImage, &reason)) {
    return Fail(alphaPath, reason);
  }
  if (!EncodeVqiImage(&image, files[1].c_str(), mode, options, transparentColour,
                      alphaPath.empty() ? nullptr : &alphaImage)) {
    return Fail(files[1], "cannot write the file");
  }
  return EXIT_SUCCESS;
}

int Decode(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("decode needs INPUT.vqi and OUTPUT.bmp");
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(args[0].c_str(), &bytes)) return Fail(args[0], "cannot read the file");
  if (!HasVqiMagic(bytes.data(), bytes.size())) return Fail(args[0], "not a VQI file");
  ImageBuffer image;
  if (!ReadVqiImage(&image, bytes.data(), bytes.size())) return Fail(args[0], "damaged VQI file");
  if (!WriteBmpFile(args[1].c_str(), &image)) return Fail(args[1], "cannot write the file");
  return EXIT_SUCCESS;
}

int Info(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("info needs one FILE.vqi");
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(args[0].c_str(), &bytes)) return Fail(args[0], "cannot read the file");
  std::string text;
  if (!DescribeVqiFile(bytes.data(), bytes.size(), &text)) {
    return Fail(args[0], "not a VQI file, or its header is damaged");
  }
  std::fputs(text.c_str(), stdout);
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 1 ? 2 : argc), argv + argc);
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return EXIT_SUCCESS;
  }
  if (command == "encode") return Encode(args);
  if (command == "decode") return Decode(args);
  if (command == "info") return Info(args);
  return UsageError(command.empty() ? "no command given" : "unknown command '" + command + "'");
}
