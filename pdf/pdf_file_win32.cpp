#include "pdf/pdf_file.h"

#include <windows.h>

#include <algorithm>

#include "core/image_buffer.h"
#include "core/wic_writer.h"
#include "shell/settings.h"

namespace {

// The name without its folder and its extension, from the ANSI code page (932 on the Japanese
// systems the program is made for) into UTF-16.
std::u16string TitleFromPath(const char* path) {
  std::string name(path);
  name.erase(0, name.find_last_of("\\/:") + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()), nullptr, 0);
  std::u16string title(size_t(std::max(length, 0)), u'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()),
                        reinterpret_cast<wchar_t*>(title.data()), length);
  }
  return title;
}

// Local time now, with the offset in force now: the difference of the same instant read both
// ways, so that summer time is counted as the system counts it.
PdfDate LocalDateNow() {
  FILETIME utc, local;
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME time;
  FileTimeToSystemTime(&local, &time);
  const auto ticks = [](const FILETIME& t) {
    return int64_t(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime);
  };
  constexpr int64_t kTicksPerMinute = 60 * 10000000LL;
  const int minutesEast = int((ticks(local) - ticks(utc)) / kTicksPerMinute);
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, minutesEast};
}

// The encoder's bytes are kept in memory: the writer needs their length before them.
bool AppendToMemory(void* memory, const void* data, size_t size) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(memory);
  const auto* first = static_cast<const uint8_t*>(data);
  bytes->insert(bytes->end(), first, first + size);
  return true;
}

bool EncodeJpeg(void* quality, const ImageBuffer& image, std::vector<uint8_t>* jpeg) {
  return EncodeWicImage(image, WicFileFormat::kJpeg, *static_cast<const int32_t*>(quality),
                        {jpeg, AppendToMemory});
}

}  // namespace

bool BeginPdfFile(PdfFile* file, const char* path) {
  if (!BeginFileReplacement(&file->replacement, path)) return false;
  PdfDocument document;
  document.title = TitleFromPath(path);
  document.created = LocalDateNow();
  if (ReadSettingInt("PeloraApp", "PdfLossless", 0) == 0) {
    file->jpegQuality = std::clamp(ReadSettingInt("PeloraApp", "JpegQuality", 90), 1, 100);
    document.encodeJpeg = EncodeJpeg;
    document.jpegContext = &file->jpegQuality;
  }
  BeginPdf(&file->writer, FileReplacementSink(&file->replacement), document);
  return !file->writer.failed;
}

bool AddPdfFilePage(PdfFile* file, const ImageBuffer& image) {
  return AddPdfPage(&file->writer, image, image.dpiX, image.dpiY);
}

bool FinishPdfFile(PdfFile* file) {
  if (!FinishPdf(&file->writer)) {
    AbandonFileReplacement(&file->replacement);
    return false;
  }
  return CommitFileReplacement(&file->replacement);
}

bool WriteOnePagePdfFile(const char* path, const ImageBuffer& image) {
  PdfFile file;
  return BeginPdfFile(&file, path) && AddPdfFilePage(&file, image) && FinishPdfFile(&file);
}
