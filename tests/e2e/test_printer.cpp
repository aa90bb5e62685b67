#include "tests/e2e/test_printer.h"

#include <windows.h>
#include <winspool.h>

#include "tests/win/temp_folder.h"

namespace {

const char kPrinterName[] = "Pelora Test Printer";
const char kDriverName[] = "Wine PostScript Driver";
const char kPort[] = "LPT1:";

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

bool WriteText(const std::string& path, const char* text) {
  return WriteBytes(path, std::vector<uint8_t>(text, text + strlen(text)));
}

bool SetUserValue(const char* key, const char* name, const std::string& value) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result =
      RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

bool PrinterExists() {
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(kPrinterName), &printer, nullptr)) return false;
  ClosePrinter(printer);
  return true;
}

// The driver reads its page description from the driver folder, under the data file's name.
bool InstallDriver() {
  char folder[MAX_PATH];
  DWORD size = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                  sizeof folder, &size)) {
    return false;
  }
  const std::string base(folder);
  CreateDirectoryA((base + "\\3").c_str(), nullptr);
  if (!WriteText(base + "\\pelora-test.ppd", kPageDescription) ||
      !WriteText(base + "\\3\\pelora-test.ppd", kPageDescription)) {
    return false;
  }
  DRIVER_INFO_3A driver = {};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>(kDriverName);
  driver.pDriverPath = const_cast<char*>("wineps.drv");
  driver.pDataFile = const_cast<char*>("pelora-test.ppd");
  driver.pConfigFile = const_cast<char*>("wineps.drv");
  return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) != FALSE;
}

}  // namespace

bool InstallTestPrinter(const std::string& unixOutputPath) {
  if (!SetUserValue("Software\\Wine\\Printing\\Spooler", kPort, unixOutputPath)) return false;
  if (!PrinterExists()) {
    if (!InstallDriver()) return false;
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(kPrinterName);
    info.pPortName = const_cast<char*>(kPort);
    info.pDriverName = const_cast<char*>(kDriverName);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer != nullptr) ClosePrinter(printer);
    if (!PrinterExists()) return false;
  }
  return SetDefaultPrinterA(kPrinterName) != FALSE;
}
