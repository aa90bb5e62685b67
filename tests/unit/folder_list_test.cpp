#include <gtest/gtest.h>

#include "scan/folder_list.h"

namespace {

// The names one step before and after the current file, found ignoring case; a current file
// the list leaves out stands where the next accepted file stands.
TEST(FolderList, StepsRoundTheRingOfLoadableFiles) {
  const struct {
    const char* current;
    int index;
  } cases[] = {{"THIRD.VQI", 2}, {"first.bmp", 0}, {"gone.bmp", 0}, {"notes.txt", 1}};
  for (const auto& c : cases) {
    FolderList list;
    StartFolderList(&list, "C:\\pics\\");
    AddFolderEntry(&list, ".", true, false, c.current);
    AddFolderEntry(&list, "first.bmp", false, true, c.current);
    AddFolderEntry(&list, "notes.txt", false, false, c.current);
    AddFolderEntry(&list, "second.jpg", false, true, c.current);
    AddFolderEntry(&list, "third.vqi", false, true, c.current);
    ASSERT_EQ(list.names, (std::vector<std::string>{"first.bmp", "second.jpg", "third.vqi"}));
    EXPECT_EQ(list.currentIndex, c.index) << c.current;
  }
  EXPECT_TRUE(StepInRing(2, 3, +1) == 0 && StepInRing(0, 3, -1) == 2 && StepInRing(0, 1, -1) == 0);
  std::string folder, name;
  ASSERT_TRUE(SplitFolderAndName("C:\\ソフト\\表.bmp", &folder, &name));
  EXPECT_TRUE(folder == "C:\\ソフト\\" && name == "表.bmp");
  for (const char* path : {"", "a.bmp", "\\a.bmp"}) {
    EXPECT_FALSE(SplitFolderAndName(path, &folder, &name)) << path;
  }
}

}  // namespace
