#include <gtest/gtest.h>

#include "scan/folder_list.h"

namespace {

// Loadable files only, found ignoring case; a current file the list leaves out stands where
// the next accepted file stands. A document path splits at its last separator.
TEST(FolderList, TheRingOfLoadableFilesAndTheDocumentsName) {
  for (const char* current : {"SECOND.JPG", "notes.txt"}) {
    FolderList list;
    StartFolderList(&list, "C:\\pics\\");
    AddFolderEntry(&list, "first.bmp", false, true, current);
    AddFolderEntry(&list, "notes.txt", false, false, current);
    AddFolderEntry(&list, "sub", true, true, current);
    AddFolderEntry(&list, "second.jpg", false, true, current);
    ASSERT_EQ(list.names, (std::vector<std::string>{"first.bmp", "second.jpg"}));
    EXPECT_EQ(list.currentIndex, 1) << current;
  }
  EXPECT_TRUE(StepInRing(1, 2, +1) == 0 && StepInRing(0, 2, -1) == 1 && StepInRing(0, 1, -1) == 0);
  std::string folder, name;
  ASSERT_TRUE(SplitFolderAndName("C:\\ソフト\\表.bmp", &folder, &name));
  EXPECT_TRUE(folder == "C:\\ソフト\\" && name == "表.bmp");
  EXPECT_FALSE(SplitFolderAndName("a.bmp", &folder, &name));
}

}  // namespace
