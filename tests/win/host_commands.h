#pragma once
// Commands run on the Linux host from a test under Wine, so that the host's tools
// (ImageMagick, qpdf, poppler) check what the program wrote. Wine only.

#include <string>

// Runs a shell command on the host (Wine starts a host program as it starts its own). Gives
// what it wrote to its output and error, or "<not run>" or "<not ended>".
std::string RunOnHost(const std::string& command);

// The host's name of a Windows path, in UTF-8, quoted for the shell.
std::string HostPath(const std::string& path);
