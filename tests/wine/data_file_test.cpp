// The data file through the platform's DOM and file system.
#include "store/data_file_win.h"
#include "store/password_protection.h"

#include <gtest/gtest.h>

#include "tests/unit/store/sample_tree.h"
#include "tests/unit/test_data.h"
#include "tests/wine/test_support_win.h"
#include "util/file_io_win.h"

namespace {

void WriteBytes(const Text& path, std::string_view bytes) {
  ASSERT_TRUE(ReplaceFileContents(path, bytes));
}

}  // namespace

// Written exactly as the hand-written file; loaded and saved again, nothing changes.
TEST(DataFileOnDisk, SavesTheExpectedBytesAndRoundTrips) {
  ScratchDirectory directory(u"pelun_data_file");
  const Text path = directory.Path() + kDataFileName;
  ASSERT_TRUE(SaveDataFile(path, SampleTree()));
  const std::string expected = ReadTestData("datafile/sample.dat");
  EXPECT_EQ(ReadFileBytes(path), expected);

  FolderList loaded;
  ASSERT_TRUE(LoadDataFile(path, ItemReadOptions{}, loaded));
  ASSERT_EQ(loaded.size(), 2u);
  const Text again = directory.Path() + u"again.dat";
  ASSERT_TRUE(SaveDataFile(again, loaded));
  EXPECT_EQ(ReadFileBytes(again), expected);
}

TEST(DataFileOnDisk, FailedSaveLeavesThePreviousFileIntact) {
  ScratchDirectory directory(u"pelun_data_file");
  const Text path = directory.Path() + kDataFileName;
  WriteBytes(path, "previous contents");
  ASSERT_TRUE(::SetFileAttributesW(W(path), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(SaveDataFile(path, SampleTree()));
  EXPECT_EQ(ReadFileBytes(path), "previous contents");
  EXPECT_FALSE(FileExists(path + u".new")) << "no half-written file is left behind";
  ::SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);

  // The new file cannot even be written: the old one stays.
  ASSERT_TRUE(::CreateDirectoryW(W(path + u".new"), nullptr));
  EXPECT_FALSE(SaveDataFile(path, SampleTree()));
  EXPECT_EQ(ReadFileBytes(path), "previous contents");
  ::RemoveDirectoryW(W(path + u".new"));

  EXPECT_FALSE(SaveDataFile(directory.Path() + u"missing\\" + kDataFileName, SampleTree()));
}

TEST(DataFileOnDisk, DamagedFilesDoNotLoad) {
  ScratchDirectory directory(u"pelun_data_file");
  const Text path = directory.Path() + kDataFileName;
  const std::string sample = ReadTestData("datafile/sample.dat");
  for (std::string_view damaged :
       {std::string_view(sample).substr(0, sample.size() / 2), std::string_view("<opml/>"),
        std::string_view("")}) {
    WriteBytes(path, damaged);
    FolderList folders;
    EXPECT_FALSE(LoadDataFile(path, ItemReadOptions{}, folders)) << damaged.size();
  }
  FolderList folders;
  EXPECT_FALSE(LoadDataFile(directory.Path() + u"none.dat", ItemReadOptions{}, folders));
}

TEST(DataFileOnDisk, ProtectedPasswordsComeBackAfterAReload) {
  ASSERT_TRUE(EnsureKeyContainer());
  ScratchDirectory directory(u"pelun_data_file");
  const Text path = directory.Path() + kDataFileName;
  FolderList tree = SampleTree();
  auto& site = *tree[0]->Children()[0];
  site.pass = ProtectSitePassword(u"秘密のパスワード", site.src, u"");
  ASSERT_FALSE(site.pass.empty());
  ASSERT_TRUE(SaveDataFile(path, tree));

  FolderList loaded;
  ASSERT_TRUE(LoadDataFile(path, ItemReadOptions{}, loaded));
  const auto& reloaded = *loaded[0]->Children()[0];
  EXPECT_EQ(reloaded.pass, site.pass);
  EXPECT_EQ(UnprotectSitePassword(reloaded.pass, reloaded.src, u""), u"秘密のパスワード");
}
