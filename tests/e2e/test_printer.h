#pragma once
// A printer for the tests: Wine's PostScript driver with a page description of our own, its
// port sent to a file that the test reads.

#include <string>

// Installs "Pelora Test Printer" (once per prefix), makes it the default printer and sends
// its jobs to the Unix file `unixOutputPath`. False when the printer cannot be set up.
bool InstallTestPrinter(const std::string& unixOutputPath);
