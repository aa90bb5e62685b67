#pragma once
// A printer for the tests: Wine's PostScript driver with a page description of our own, its
// port sent to a file that the test reads.

#include <string>

// Installs "Pelora Test Printer" (once per prefix), makes it the default printer and sends
// its jobs to a file; gives that file's path, or "" when the printer cannot be set up.
std::string InstallTestPrinter();
