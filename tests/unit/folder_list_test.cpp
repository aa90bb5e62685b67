#include <gtest/gtest.h>

#include "scan/folder_list.h"

namespace {

struct Entry {
  const char* name;
  bool directory;
  bool loadable;
};

FolderList Enumerate(std::initializer_list<Entry> entries, const std::string& current) {
  FolderList list;
  StartFolderList(&list, "C:\\pics\\");
  for (const Entry& e : entries) AddFolderEntry(&list, e.name, e.directory, e.loadable, current);
  return list;
}

// The name `step` opens from the list's current position.
std::string Step(FolderList list, int step) {
  const int index = StepInRing(list.currentIndex, static_cast<int>(list.names.size()), step);
  return list.names[index];
}

const std::initializer_list<Entry> kFolder = {
    {".", true, false},   {"first.bmp", false, true},  {"notes.txt", false, false},
    {"sub", true, false}, {"second.jpg", false, true}, {"third.vqi", false, true}};

}  // namespace

TEST(FolderList, StepsRoundTheRing) {
  const FolderList list = Enumerate(kFolder, "second.jpg");
  ASSERT_EQ(list.names, (std::vector<std::string>{"first.bmp", "second.jpg", "third.vqi"}));
  EXPECT_EQ(Step(list, +1), "third.vqi");
  FolderList atThird = list;
  atThird.currentIndex = 2;
  EXPECT_EQ(Step(atThird, +1), "first.bmp");
  FolderList atFirst = list;
  atFirst.currentIndex = 0;
  EXPECT_EQ(Step(atFirst, -1), "third.vqi");
}

TEST(FolderList, OneFileIsItsOwnNeighbour) {
  const FolderList list = Enumerate({{"only.bmp", false, true}}, "only.bmp");
  EXPECT_EQ(Step(list, +1), "only.bmp");
  EXPECT_EQ(Step(list, -1), "only.bmp");
}

TEST(FolderList, CurrentFileMissingOrNotLoadable) {
  const FolderList missing = Enumerate(kFolder, "gone.bmp");
  EXPECT_EQ(missing.currentIndex, 0);
  EXPECT_EQ(Step(missing, +1), "second.jpg");
  EXPECT_EQ(Step(missing, -1), "third.vqi");

  // A current file the list leaves out stands where the next accepted file stands.
  const FolderList skipped = Enumerate(kFolder, "notes.txt");
  EXPECT_EQ(skipped.currentIndex, 1);
  EXPECT_EQ(Step(skipped, +1), "third.vqi");
  EXPECT_EQ(Step(skipped, -1), "first.bmp");
}

TEST(FolderList, CurrentNameIsFoundIgnoringCase) {
  EXPECT_EQ(Enumerate(kFolder, "THIRD.VQI").currentIndex, 2);
  EXPECT_EQ(Enumerate(kFolder, "third.vq").currentIndex, 0);
}

TEST(FolderList, DocumentPathSplitsAtItsLastSeparator) {
  std::string folder, name;
  ASSERT_TRUE(SplitFolderAndName("C:\\ソフト\\表.bmp", &folder, &name));
  EXPECT_EQ(folder, "C:\\ソフト\\");
  EXPECT_EQ(name, "表.bmp");
  EXPECT_FALSE(SplitFolderAndName("", &folder, &name));
  EXPECT_FALSE(SplitFolderAndName("a.bmp", &folder, &name));
  EXPECT_FALSE(SplitFolderAndName("\\a.bmp", &folder, &name));
}
