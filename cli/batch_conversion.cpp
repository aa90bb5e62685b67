#include "cli/batch_conversion.h"

#include <filesystem>
#include <map>
#include <new>
#include <set>

#include "cli/image_input.h"
#include "vqi/worker_threads.h"

namespace fs = std::filesystem;

namespace {

// One try; memory running out inside the standard library is the file's want of memory too.
Conversion Attempt(const std::function<Conversion(size_t)>& convert, size_t i) {
  try {
    return convert(i);
  } catch (const std::bad_alloc&) {
    return {{}, true};
  }
}

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

std::vector<std::string> RunConcurrently(const std::vector<std::string>& files, int threads,
                                         const std::function<Conversion(size_t)>& convert) {
  std::vector<Conversion> results(files.size());
  ForEachOnThreads(static_cast<int>(files.size()), threads, [&](int i) {
    results[static_cast<size_t>(i)] = Attempt(convert, static_cast<size_t>(i));
  });
  std::vector<std::string> errors(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    // Alone, the file has the memory that the others took.
    if (results[i].noMemory) results[i] = Attempt(convert, i);
    errors[i] = results[i].noMemory ? files[i] + ": " + kNotEnoughMemory : results[i].error;
  }
  return errors;
}
