#include <gtest/gtest.h>

#include "scan/folder_list.h"

namespace {

// Loadable files only, the current one found ignoring case; a document path splits at its
// last separator, never inside a double-byte character.
TEST(FolderList, LoadableFilesAndTheDocumentsName) {
  FolderList list;
  StartFolderList(&list, "C:\\pics\\");
  AddFolderEntry(&list, "first.bmp", false, true, "SECOND.JPG");
  AddFolderEntry(&list, "notes.txt", false, false, "SECOND.JPG");
  AddFolderEntry(&list, "second.jpg", false, true, "SECOND.JPG");
  EXPECT_EQ(list.names, (std::vector<std::string>{"first.bmp", "second.jpg"}));
  EXPECT_EQ(list.currentIndex, 1);
  std::string folder, name;
  ASSERT_TRUE(SplitFolderAndName("C:\\ソフト\\表.bmp", &folder, &name));
  EXPECT_TRUE(folder == "C:\\ソフト\\" && name == "表.bmp");
}

}  // namespace
