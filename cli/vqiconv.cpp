// vqiconv: converts between BMP and VQI files and describes VQI files, for batch work
// without the viewer.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "cli/batch_conversion.h"
#include "cli/image_input.h"
#include "cli/vqi_info.h"
#include "cli/png_file.h"
#include "core/bmp_writer.h"
#include "core/image_file_names.h"
#include "core/file_replace.h"
#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"
#include "vqi/vqi_file.h"
#include "vqi/worker_threads.h"

namespace {

constexpr int kExitFailure = 1;

const char kUsage[] =
    "usage:\n"
    "  vqiconv encode [OPTIONS] INPUT OUTPUT.vqi\n"
    "  vqiconv encode [OPTIONS] INPUT... --out-dir FOLDER\n"
    "  vqiconv decode INPUT.vqi OUTPUT.bmp|OUTPUT.png\n"
    "  vqiconv decode INPUT.vqi... --out-dir FOLDER\n"
    "  vqiconv info FILE.vqi\n"
    "  vqiconv --help\n"
    "\n"
    "encode  writes INPUT (a BMP of 1, 4, 8, 16, 24 or 32 bits, uncompressed or run-length\n"
    "        coded, a PNG or a VQI file) as a VQI file. Options:\n"
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
    "decode  writes a VQI file as a 24-bit BMP file, or PNG file when OUTPUT ends in .png;\n"
    "        alpha planes are laid over black.\n"
    "info    prints width, height, colour model, plane count and, per plane, its stored\n"
    "        length and coding stages.\n"
    "\n"
    "--out-dir FOLDER converts every INPUT into the existing FOLDER, under the input's name\n"
    "with .vqi (encode) or .bmp (decode) in place of its extension, several files at a time,\n"
    "one per processor core. An input whose output would replace an input, or the output\n"
    "of an earlier input, is not converted. A file that runs out of memory beside the\n"
    "others is converted again alone once they are done.\n"
    "\n"
    "Exit status 0 on success; 1 on bad input, a failed write or too little memory, with\n"
    "one line on standard error for each file that failed, naming the file and the reason.\n"
    "An existing output file is replaced only by a complete one.\n";

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

struct EncodeSettings {
  int mode = kExportLuma;
  uint32_t options = kExportDelta | kExportRle | kExportHuffman;
  uint32_t transparentColour = 0;
  const ImageBuffer* alphaImage = nullptr;
};

// `threads` is how many the coder may use for this one file.
Conversion EncodeFile(const std::string& input, const std::string& output,
                      const EncodeSettings& settings, int threads) {
  ImageBuffer image;
  std::string reason;
  if (!ReadInputImage(input.c_str(), &image, &reason)) {
    return {input + ": " + reason, reason == kNotEnoughMemory};
  }
  VqiEncoding encoding;
  // The mode is known and the image holds pixels: only memory can be wanting.
  if (!EncodeVqiParts(&image, settings.mode, settings.options, settings.transparentColour,
                      settings.alphaImage, &encoding, threads)) {
    return {{}, true};
  }
  if (!ReplaceFileContents(output.c_str(), encoding.parts, encoding.partCount)) {
    return {output + ": cannot write the file"};
  }
  return {};
}

Conversion DecodeFile(const std::string& input, const std::string& output, int threads) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(input.c_str(), &bytes)) return {input + ": cannot read the file"};
  if (!HasVqiMagic(bytes.data(), bytes.size())) return {input + ": not a VQI file"};
  ImageBuffer image;
  bool noMemory = false;
  if (!ReadVqiImageWithThreads(&image, bytes.data(), bytes.size(), threads, &noMemory)) {
    return {input + ": damaged VQI file", noMemory};
  }
  const bool png = ImageFileFormatForPath(output.c_str()) == ImageFileFormat::kPng;
  if (!(png ? WritePngFile(output.c_str(), image) : WriteBmpFile(output.c_str(), &image))) {
    return {output + ": cannot write the file"};
  }
  return {};
}

// One file (INPUT OUTPUT), or every input into `folder`, several at a time.
int Convert(
    const std::vector<std::string>& files, const std::string& folder, const char* extension,
    const std::function<Conversion(const std::string&, const std::string&, int)>& convertFile) {
  const int cores = ProcessorCount();
  std::vector<std::string> errors;
  if (folder.empty()) {
    errors = RunConcurrently({files[0]}, 1,
                             [&](size_t) { return convertFile(files[0], files[1], cores); });
  } else {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
      return UsageError("--out-dir needs an existing folder, not '" + folder + "'");
    }
    std::vector<std::string> refusals;
    const std::vector<std::string> outputs = OutputPaths(files, folder, extension, &refusals);
    // The files share the cores: each is coded on one thread.
    errors = RunConcurrently(files, cores, [&](size_t i) {
      return outputs[i].empty() ? Conversion{refusals[i]} : convertFile(files[i], outputs[i], 1);
    });
  }
  int status = EXIT_SUCCESS;
  for (const std::string& line : errors) {
    if (line.empty()) continue;
    std::fprintf(stderr, "vqiconv: %s\n", line.c_str());
    status = kExitFailure;
  }
  return status;
}

int Encode(const std::vector<std::string>& args) {
  EncodeSettings settings;
  std::string alphaPath;
  std::string folder;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--mode" && hasValue) {
      const std::string& value = args[++i];
      if (value == "rgb") {
        settings.mode = kExportRgb;
      } else if (value == "luma") {
        settings.mode = kExportLuma;
      } else if (value == "gray") {
        settings.mode = kExportGrayscale;
      } else {
        return UsageError("unknown mode '" + value + "'");
      }
    } else if (arg == "--no-delta") {
      settings.options &= ~kExportDelta;
    } else if (arg == "--no-rle") {
      settings.options &= ~kExportRle;
    } else if (arg == "--no-huffman") {
      settings.options &= ~kExportHuffman;
    } else if (arg == "--transparent" && hasValue) {
      if (AlphaKindOf(settings.options) != kAlphaNone) return UsageError("only one alpha source");
      if (!ParseColour(args[++i].c_str(), &settings.transparentColour)) {
        return UsageError("--transparent needs R,G,B with each part 0 to 255");
      }
      settings.options |= kAlphaTransparentColour << 8;
    } else if (arg == "--alpha-image" && hasValue) {
      if (AlphaKindOf(settings.options) != kAlphaNone) return UsageError("only one alpha source");
      alphaPath = args[++i];
      settings.options |= kAlphaImage << 8;
    } else if (arg == "--out-dir" && hasValue) {
      folder = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown or incomplete option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  if (folder.empty() && files.size() != 2) return UsageError("encode needs INPUT and OUTPUT.vqi");
  if (!folder.empty() && files.empty()) return UsageError("encode needs at least one INPUT");

  ImageBuffer alphaImage;
  std::string reason;
  if (!alphaPath.empty()) {
    if (!ReadInputImage(alphaPath.c_str(), &alphaImage, &reason)) return Fail(alphaPath, reason);
    settings.alphaImage = &alphaImage;
  }
  return Convert(files, folder, ".vqi",
                 [&](const std::string& input, const std::string& output, int threads) {
                   return EncodeFile(input, output, settings, threads);
                 });
}

int Decode(const std::vector<std::string>& args) {
  std::string folder;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--out-dir" && i + 1 < args.size()) {
      folder = args[++i];
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return UsageError("unknown or incomplete option '" + args[i] + "'");
    } else {
      files.push_back(args[i]);
    }
  }
  if (folder.empty() && files.size() != 2)
    return UsageError("decode needs INPUT.vqi and OUTPUT.bmp");
  if (!folder.empty() && files.empty()) return UsageError("decode needs at least one INPUT.vqi");
  return Convert(files, folder, ".bmp", DecodeFile);
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

int Run(int argc, char** argv) {
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

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {  // before or after the files, where no file is to blame
    std::fprintf(stderr, "vqiconv: %s\n", kNotEnoughMemory);
    return kExitFailure;
  }
}
