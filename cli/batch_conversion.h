#pragma once
// Converting many files at once: where each output goes, and running the conversions on all
// cores.

#include <functional>
#include <string>
#include <vector>

// The output for each input: the folder `folder`, the input's name with `extension` in place
// of its own. An input whose output would replace an input, or the output of an earlier
// input, gets an empty path, and `refusals` the reason ("FILE: reason") at its index.
std::vector<std::string> OutputPaths(const std::vector<std::string>& inputs,
                                     const std::string& folder, const std::string& extension,
                                     std::vector<std::string>* refusals);

// What converting one file gave: its error line ("FILE: reason"), empty for success, unless
// memory ran out.
struct Conversion {
  std::string error;
  bool noMemory = false;
};

// Runs convert(i) for every file on up to `threads` threads, the caller's among them; gives
// the error lines by index. A file that ran out of memory beside the others is converted
// again once they are done, alone; one that still does gets "FILE: not enough memory".
std::vector<std::string> RunConcurrently(const std::vector<std::string>& files, int threads,
                                         const std::function<Conversion(size_t)>& convert);
