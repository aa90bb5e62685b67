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

// Runs convert(i) for every i below `count` on up to `threads` threads, the caller's among
// them; gives the errors they returned (empty for success), by index.
std::vector<std::string> RunConcurrently(size_t count, int threads,
                                         const std::function<std::string(size_t)>& convert);
