#include "tests/win/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TempFolder::TempFolder() {
  static int counter = 0;
  const std::string name =
      "pelora-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
  path_ = (std::filesystem::temp_directory_path() / name).string();
  std::filesystem::create_directory(path_);
}

// What a program still holds open stays behind in the system's temporary folder.
TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  return static_cast<bool>(file.write(data, std::streamsize(bytes.size())).flush());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PicturePath(const std::string& name) {
  char program[MAX_PATH];
  const std::string path(program, GetModuleFileNameA(nullptr, program, sizeof program));
  return path.substr(0, path.rfind('\\') + 1) + "pictures\\" + name;
}
