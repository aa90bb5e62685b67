#include "scan/folder_list.h"

#include <cstring>

#include "core/image_file_names.h"
#include "core/path_text.h"

bool SplitFolderAndName(const char* path, std::string* folder, std::string* name) {
  const long separator = LastPathSeparator(path, std::strlen(path));
  if (separator <= 0) return false;
  folder->assign(path, static_cast<size_t>(separator) + 1);
  name->assign(path + separator + 1);
  return true;
}

void StartFolderList(FolderList* list, const std::string& folder) {
  list->folder = folder;
  list->names.clear();
  list->currentIndex = 0;
}

void AddFolderEntry(FolderList* list, const std::string& name, bool isDirectory, bool loadable,
                    const std::string& currentName) {
  if (isDirectory) return;
  if (name.size() == currentName.size() &&
      EqualsIgnoringAsciiCase(name.data(), currentName.data(), name.size())) {
    list->currentIndex = static_cast<int>(list->names.size());
  }
  if (loadable) list->names.push_back(name);
}

int StepInRing(int index, int count, int step) {
  index += step;
  if (index >= count) return 0;
  if (index < 0) return count - 1;
  return index;
}
