#include "app/directories.h"

#include <gtest/gtest.h>

#include "tests/unit/store/memory_profile.h"

namespace {

const PlatformFolders kFolders{u"C:\\Apps\\pelun\\", u"C:\\Users\\me\\Documents",
                               u"C:\\Users\\me\\Temp\\"};

MemoryProfile DefineIni(TextView dataLocal, TextView dataPath, TextView tempLocal) {
  MemoryProfile file;
  file.Set(u"Path", u"DataLocal", dataLocal);
  file.Set(u"Path", u"DataPath", dataPath);
  file.Set(u"Path", u"TempLocal", tempLocal);
  return file;
}

}  // namespace

TEST(Directories, DefaultsAreDocumentsAndSystemTemp) {
  MemoryProfile none;
  AppDirectories dirs = SettleDirectories(none, kFolders);
  EXPECT_EQ(dirs.data, u"C:\\Users\\me\\Documents\\pelun data\\");
  EXPECT_EQ(dirs.temp, u"C:\\Users\\me\\Temp\\pelun temporary\\");
}

TEST(Directories, DataLocalUsesDataPathOrTheProgramFolder) {
  EXPECT_EQ(SettleDirectories(DefineIni(u"1", u"D:\\store", u"0"), kFolders).data,
            u"D:\\store\\pelun data\\");
  EXPECT_EQ(SettleDirectories(DefineIni(u"1", u" D:\\store\\ ", u"0"), kFolders).data,
            u"D:\\store\\pelun data\\");
  EXPECT_EQ(SettleDirectories(DefineIni(u"1", u"   ", u"0"), kFolders).data,
            u"C:\\Apps\\pelun\\pelun data\\");
  EXPECT_EQ(SettleDirectories(DefineIni(u"1", u"\\\\server\\share", u"0"), kFolders).data,
            u"\\\\server\\share\\pelun data\\");
  // Only 1 switches it on.
  EXPECT_EQ(SettleDirectories(DefineIni(u"2", u"D:\\store", u"0"), kFolders).data,
            u"C:\\Users\\me\\Documents\\pelun data\\");
}

TEST(Directories, RelativeDataPathLiesUnderTheProgramFolder) {
  EXPECT_EQ(SettleDirectories(DefineIni(u"1", u"data", u"0"), kFolders).data,
            u"C:\\Apps\\pelun\\data\\pelun data\\");
}

TEST(Directories, MissingDocumentsFolderGivesARelativeDataDirectory) {
  PlatformFolders folders = kFolders;
  folders.documentsFolder.clear();
  MemoryProfile none;
  EXPECT_EQ(SettleDirectories(none, folders).data, u"pelun data\\");
}

TEST(Directories, TempLocalAndTheTempPathLengthLimit) {
  EXPECT_EQ(SettleDirectories(DefineIni(u"0", u"", u"1"), kFolders).temp,
            u"C:\\Apps\\pelun\\pelun temporary\\");

  MemoryProfile none;
  PlatformFolders folders = kFolders;
  folders.systemTemp = u"C:\\T";
  EXPECT_EQ(SettleDirectories(none, folders).temp, u"C:\\T\\pelun temporary\\");

  folders.systemTemp = u"C:\\" + Text(256, u'x');  // 259 characters: still taken
  EXPECT_EQ(SettleDirectories(none, folders).temp, folders.systemTemp + u"\\pelun temporary\\");
  folders.systemTemp += u"\\";  // 260
  EXPECT_EQ(SettleDirectories(none, folders).temp, u"pelun temporary\\");
  folders.systemTemp.clear();
  EXPECT_EQ(SettleDirectories(none, folders).temp, u"pelun temporary\\");
}

TEST(Directories, DirectoryOfFileKeepsTheLastBackslash) {
  EXPECT_EQ(DirectoryOfFile(u"C:\\Apps\\pelun\\pelun.exe"), u"C:\\Apps\\pelun\\");
  EXPECT_EQ(DirectoryOfFile(u"pelun.exe"), u"");
}
