#include "tests/win/host_commands.h"

#include <windows.h>

#include <vector>

#include "tests/win/temp_folder.h"

std::string HostPath(const std::string& path) {
  using UnixName = char*(CDECL*)(const WCHAR*);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  WCHAR wide[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* name = unixName != nullptr ? unixName(wide) : nullptr;
  std::string quoted(1, '\'');
  quoted.append(name != nullptr ? name : "").push_back('\'');
  HeapFree(GetProcessHeap(), 0, name);
  return quoted;
}

// Wine hands a host program no handles of ours and signals its end at once: the output goes
// through a file, which takes its name when the program has ended.
std::string RunOnHost(const std::string& command) {
  char folder[MAX_PATH], output[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  GetTempFileNameA(folder, "out", 0, output);
  DeleteFileA(output);
  const std::string done = HostPath(output), part = HostPath(std::string(output) + ".part");
  // The host's names are UTF-8, and so is the whole line.
  const std::string line =
      "/bin/sh -c \"(" + command + ") >" + part + " 2>&1; mv " + part + " " + done + "\"";
  std::wstring wide(line.size() + 1, L'\0');
  wide.resize(
      size_t(MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide.data(), int(wide.size()))));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(L"Z:\\bin\\sh", wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return "<not run>";
  }
  // The handles Wine gives for a host program are left open: closing them now and then
  // closed another handle of the caller's (a started Pelora's, seen under Wine 8).
  for (int i = 0; !FileExists(output); ++i) {
    if (i == 2400) return "<not ended>";
    Sleep(50);
  }
  const std::vector<uint8_t> bytes = ReadBytes(output);
  DeleteFileA(output);
  return std::string(bytes.begin(), bytes.end());
}
