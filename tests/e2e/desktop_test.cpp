#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"
#include "tests/e2e/test_printer.h"

namespace {

class Desktop : public ViewerTest {
 protected:
  // Prints the current image through the dialog; gives the PostScript job.
  std::string PrintThroughDialog(const std::string& output) {
    DeleteFileA(output.c_str());
    pelora_.PostCommand(ID_FILE_PRINT);
    HWND dialog = pelora_.WaitForOwnWindow("#32770");
    if (dialog == nullptr) return "";
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    std::string job;
    WaitUntil([&] {
      const std::vector<uint8_t> bytes = ReadBytes(output);
      job.assign(bytes.begin(), bytes.end());
      return job.find("%%EOF") != std::string::npos;
    });
    DeleteFileA(output.c_str());
    return job;
  }
};

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST_F(Desktop, PrintingFillsThePageWidthOrHeight) {
  const std::string unixOutput =
      "/tmp/pelora-print-" + std::to_string(GetCurrentProcessId()) + ".ps";
  std::string output = "Z:" + unixOutput;
  for (char& c : output) c = c == '/' ? '\\' : c;
  ASSERT_TRUE(InstallTestPrinter(unixOutput));
  HDC printer = CreateDCA(nullptr, "Pelora Test Printer", nullptr, nullptr);
  ASSERT_NE(printer, nullptr);
  const ViewSize printable = {GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};
  DeleteDC(printer);

  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("wide.bmp", 1000, 500))));
  std::string job = PrintThroughDialog(output);
  ASSERT_NE(job, "");
  EXPECT_NE(job.find("%%Title: PeloraApp"), std::string::npos);
  EXPECT_EQ(Count(job, "%%Page: "), 1u);
  ViewSize printed = PrintedSize(printable, {1000, 500});
  EXPECT_EQ(printed.width, printable.width);
  EXPECT_NE(job.find("0 0 translate\n" + std::to_string(printed.width) + " " +
                     std::to_string(printed.height) + " scale"),
            std::string::npos);

  OpenByDropping(WriteCodedImage("tall.bmp", 500, 1000));
  job = PrintThroughDialog(output);
  EXPECT_EQ(Count(job, "%%Page: "), 1u);
  printed = PrintedSize(printable, {500, 1000});
  EXPECT_EQ(printed.height, printable.height);
  EXPECT_NE(job.find("0 0 translate\n" + std::to_string(printed.width) + " " +
                     std::to_string(printed.height) + " scale"),
            std::string::npos);
  EXPECT_EQ(pelora_.Close(), 0u);
}
