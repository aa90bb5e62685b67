#pragma once
// The image files of the current document's folder, as a ring that next and previous step
// through. Platform-free: the directory enumeration feeds it entry by entry.

#include <string>
#include <vector>

struct FolderList {
  std::vector<std::string> names;  // loadable files, in the enumeration's order
  std::string folder;              // ends in "\"
  int currentIndex = 0;
};

// Splits a path at its last "\" (double-byte aware). False when there is none, or only the
// first byte is one.
bool SplitFolderAndName(const char* path, std::string* folder, std::string* name);

// Empties the list for a new enumeration of `folder`.
void StartFolderList(FolderList* list, const std::string& folder);

// Takes one enumerated entry: directories never enter; the current file (found ignoring case)
// marks the position, whether or not it is loadable itself.
void AddFolderEntry(FolderList* list, const std::string& name, bool isDirectory, bool loadable,
                    const std::string& currentName);

// Steps the index round the ring by +1 or -1; the list must not be empty.
int StepInRing(int index, int count, int step);
