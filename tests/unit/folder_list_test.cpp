#include <gtest/gtest.h>

#include "scan/folder_list.h"

namespace {

// The names one step before and after the current file, found ignoring case; a current file
// the list leaves out stands where the next accepted file stands.
TEST(FolderList, StepsRoundTheRingOfLoadableFiles) {
  const struct {
    const char* name;
    bool directory, loadable;
  } folder[] = {{".", true, false},   {"first.bmp", false, true},  {"notes.txt", false, false},
                {"sub", true, false}, {"second.jpg", false, true}, {"third.vqi", false, true}};
  const struct {
    const char* current;
    int index;
    const char *before, *after;
  } cases[] = {
      {"second.jpg", 1, "first.bmp", "third.vqi"}, {"THIRD.VQI", 2, "second.jpg", "first.bmp"},
      {"first.bmp", 0, "third.vqi", "second.jpg"}, {"gone.bmp", 0, "third.vqi", "second.jpg"},
      {"third.vq", 0, "third.vqi", "second.jpg"},  {"notes.txt", 1, "first.bmp", "third.vqi"}};
  for (const auto& c : cases) {
    FolderList list;
    StartFolderList(&list, "C:\\pics\\");
    for (const auto& e : folder) AddFolderEntry(&list, e.name, e.directory, e.loadable, c.current);
    ASSERT_EQ(list.names, (std::vector<std::string>{"first.bmp", "second.jpg", "third.vqi"}));
    EXPECT_EQ(list.currentIndex, c.index) << c.current;
    EXPECT_EQ(list.names[StepInRing(list.currentIndex, 3, -1)], c.before) << c.current;
    EXPECT_EQ(list.names[StepInRing(list.currentIndex, 3, +1)], c.after) << c.current;
  }
  EXPECT_EQ(StepInRing(0, 1, +1), 0);  // one file is its own neighbour
  EXPECT_EQ(StepInRing(0, 1, -1), 0);
}

TEST(FolderList, DocumentPathSplitsAtItsLastSeparator) {
  std::string folder, name;
  ASSERT_TRUE(SplitFolderAndName("C:\\ソフト\\表.bmp", &folder, &name));
  EXPECT_EQ(folder, "C:\\ソフト\\");
  EXPECT_EQ(name, "表.bmp");
  for (const char* path : {"", "a.bmp", "\\a.bmp"}) {
    EXPECT_FALSE(SplitFolderAndName(path, &folder, &name)) << path;
  }
}

}  // namespace
