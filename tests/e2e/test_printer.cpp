#include "tests/e2e/test_printer.h"

#include <windows.h>
#include <winspool.h>

#include "tests/win/temp_folder.h"

namespace {

const char kPrinterName[] = "Pelora Test Printer";
const char kDriverName[] = "Wine PostScript Driver";

// An A4 colour PostScript printer at 300 dots per inch.
const char kPageDescription[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*ModelName: \"Pelora Test Printer\"\n"
    "*NickName: \"Pelora Test Printer\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: True\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize: PickOne\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"18 18 577 824\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n";

// Adds the printer, which is refused when it is there already. The driver reads its page
// description from the driver folder, under the data file's name.
void AddPrinterOnce() {
  char folder[MAX_PATH];
  DWORD size = 0;
  GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder,
                             &size);
  const std::vector<uint8_t> text(kPageDescription, kPageDescription + sizeof kPageDescription - 1);
  CreateDirectoryA((std::string(folder) + "\\3").c_str(), nullptr);
  WriteBytes(std::string(folder) + "\\pelora-test.ppd", text);
  WriteBytes(std::string(folder) + "\\3\\pelora-test.ppd", text);
  DRIVER_INFO_3A driver = {};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>(kDriverName);
  driver.pDriverPath = driver.pConfigFile = const_cast<char*>("wineps.drv");
  driver.pDataFile = const_cast<char*>("pelora-test.ppd");
  AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
  PRINTER_INFO_2A info = {};
  info.pPrinterName = const_cast<char*>(kPrinterName);
  info.pPortName = const_cast<char*>("LPT1:");
  info.pDriverName = const_cast<char*>(kDriverName);
  info.pPrintProcessor = const_cast<char*>("WinPrint");
  info.pDatatype = const_cast<char*>("RAW");
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (printer != nullptr) ClosePrinter(printer);
}

}  // namespace

std::string InstallTestPrinter() {
  const std::string unixPath = "/tmp/pelora-print-" + std::to_string(GetCurrentProcessId());
  HKEY spooler;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", 0, nullptr, 0,
                  KEY_ALL_ACCESS, nullptr, &spooler, nullptr);
  RegSetValueExA(spooler, "LPT1:", 0, REG_SZ, reinterpret_cast<const BYTE*>(unixPath.c_str()),
                 static_cast<DWORD>(unixPath.size() + 1));
  RegCloseKey(spooler);
  AddPrinterOnce();
  if (!SetDefaultPrinterA(kPrinterName)) return "";
  std::string path = "Z:" + unixPath;
  for (char& c : path) c = c == '/' ? '\\' : c;
  DeleteFileA(path.c_str());
  return path;
}
