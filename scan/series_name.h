#pragma once
// The file names of a numbered series: the number goes before the extension of the model
// path. Platform-free.

#include <string>

// The model path with `number` in decimal (no leading zeros, "-" when negative) inserted
// before the last "." of its file name, or appended when the file name has none. A dot in a
// folder name is not an extension.
std::string SeriesFilePath(const std::string& model, int number);

// True when the path ends in ".pdf", in any case: a series model path so ending makes one PDF
// document a scan.
bool IsPdfPath(const std::string& path);
