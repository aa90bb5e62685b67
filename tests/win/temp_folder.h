#pragma once
// A folder of the test's own under the system's temporary folder, removed with its files.

#include <cstdint>
#include <string>
#include <vector>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();

  std::string Path(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

// A picture that tests/fixtures/make-pictures put beside the test programs.
std::string PicturePath(const std::string& name);
