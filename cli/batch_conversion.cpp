#include "cli/batch_conversion.h"

#include <filesystem>
#include <map>
#include <set>

#include "vqi/worker_threads.h"

namespace fs = std::filesystem;

namespace {

// The same file however it is written ("a/../b.bmp", "./b.bmp"), as far as the system says.
std::string Identity(const fs::path& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  return (error ? path.lexically_normal() : canonical).string();
}

}  // namespace

std::vector<std::string> OutputPaths(const std::vector<std::string>& inputs,
                                     const std::string& folder, const std::string& extension,
                                     std::vector<std::string>* refusals) {
  std::set<std::string> inputIdentities;
  for (const std::string& input : inputs) inputIdentities.insert(Identity(input));
  std::map<std::string, std::string> taken;  // output identity → the input that has it
  std::vector<std::string> outputs;
  refusals->assign(inputs.size(), "");
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string& input = inputs[i];
    fs::path output = fs::path(folder) / fs::path(input).filename();
    output.replace_extension(extension);
    const std::string identity = Identity(output);
    const auto earlier = taken.find(identity);
    if (inputIdentities.count(identity) != 0) {
      (*refusals)[i] = input + ": its output " + output.string() + " would replace an input";
      outputs.emplace_back();
    } else if (earlier != taken.end()) {
      (*refusals)[i] =
          input + ": its output " + output.string() + " is also that of " + earlier->second;
      outputs.emplace_back();
    } else {
      taken.emplace(identity, input);
      outputs.push_back(output.string());
    }
  }
  return outputs;
}

std::vector<std::string> RunConcurrently(size_t count, int threads,
                                         const std::function<std::string(size_t)>& convert) {
  std::vector<std::string> errors(count);
  ForEachOnThreads(static_cast<int>(count), threads, [&](int i) {
    errors[static_cast<size_t>(i)] = convert(static_cast<size_t>(i));
  });
  return errors;
}
