#include "store/profile_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/directories.h"
#include "store/settings.h"
#include "tests/wine/test_support_win.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  std::string FileBytes() const { return ReadFileBytes(path_); }

  ScratchDirectory directory_{u"pelun_profile_test"};
  Text path_ = directory_.Path() + u"pelun.ini";
};

}  // namespace

TEST_F(ProfileFileTest, JapaneseTextIsStoredInTheAnsiCodePage) {
  ASSERT_EQ(::GetACP(), 932u);
  CIniFile file(path_);
  ASSERT_TRUE(file.WriteString(u"Option", u"sound", u"日本語"));

  std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("sound=\x93\xFA\x96\x7B\x8C\xEA"), std::string::npos) << bytes;
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(file.ReadString(u"Option", u"sound", u""), u"日本語");
}

TEST_F(ProfileFileTest, MissingKeyAndEmptyValueDiffer) {
  CIniFile file(path_);
  ASSERT_TRUE(file.WriteString(u"LimitUrl", u"url_1", u""));
  ASSERT_TRUE(file.WriteString(u"Option", u"odd", u"\x01"));
  ASSERT_TRUE(file.WriteString(u"Option", u"word", u"abc"));

  EXPECT_NE(FileBytes().find("url_1=\r\n"), std::string::npos);
  EXPECT_EQ(file.ReadString(u"LimitUrl", u"url_1", u"fallback"), u"");
  EXPECT_EQ(file.ReadString(u"LimitUrl", u"url_9", u"fallback"), u"fallback");
  EXPECT_EQ(file.ReadString(u"NoSuchSection", u"url_1", u"fallback"), u"fallback");
  // A value equal to the reader's internal marker is still a value.
  EXPECT_EQ(file.ReadString(u"Option", u"odd", u"fallback"), u"\x01");

  EXPECT_EQ(file.ReadInt(u"LimitUrl", u"url_1", 7), 7);
  EXPECT_EQ(file.ReadInt(u"Option", u"word", 7), 0);
  EXPECT_EQ(file.ReadInt(u"Option", u"missing", 7), 7);
}

TEST_F(ProfileFileTest, LongValuesAreCutAtTheLimit) {
  CIniFile file(path_);
  ASSERT_TRUE(file.WriteString(u"Option", u"browser", Text(300, u'b')));
  ASSERT_TRUE(file.WriteString(u"Option", u"user", Text(1100, u'u')));
  EXPECT_EQ(file.ReadString(u"Option", u"browser", u""), Text(255, u'b'));
  EXPECT_EQ(file.ReadString(u"Option", u"user", u"", kProfileLongValueChars), Text(1023, u'u'));
}

TEST_F(ProfileFileTest, BlanksAndQuotesSurviveARoundTrip) {
  CIniFile file(path_);
  const Text values[] = {u"\"C:\\Program Files\\b.exe\"",
                         u"\"C:\\b.exe\" -new",
                         u" lead",
                         u"trail ",
                         u"'single'",
                         u"\"",
                         u"a=b;c"};
  for (const Text& value : values) {
    ASSERT_TRUE(file.WriteString(u"Option", u"browser", value));
    EXPECT_EQ(file.ReadString(u"Option", u"browser", u""), value) << TextToAscii(value);
  }
  ASSERT_TRUE(file.WriteString(u"Option", u"browser", u"one\r\n[Proxy]\r\nserver=evil"));
  EXPECT_EQ(file.ReadString(u"Proxy", u"server", u"none"), u"none");
}

TEST_F(ProfileFileTest, SettingsRoundTripThroughTheRealFile) {
  CIniFile file(path_);
  CSettings s;
  s.sound = u"C:\\サウンド\\chime.wav";
  s.notifySec = -1;
  s.configuredPort = 8080;
  s.protectedPassPhrase = u"0123ABCD";
  s.limitUrls = {u"a.example", u"b.example", u"c.example"};
  s.proxy.server = u"proxy.example";
  WriteSettings(s, file);

  s.limitUrls = {u"z.example"};
  WriteSettings(s, file);
  std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("url_0=z.example\r\nurl_1=\r\nurl_2=c.example\r\n"), std::string::npos)
      << bytes;
  EXPECT_NE(bytes.find("notifySec=4294967295\r\n"), std::string::npos);

  CSettings back = LoadSettings(file);
  EXPECT_EQ(back.limitUrls, std::vector<Text>{u"z.example"});
  EXPECT_EQ(back.sound, s.sound);
  EXPECT_EQ(back.notifySec, -1);
  EXPECT_EQ(back.portInUse, 8080);
  EXPECT_EQ(back.protectedPassPhrase, u"0123ABCD");
  EXPECT_EQ(back.proxy.server, u"proxy.example");
  EXPECT_EQ(ReadStartupPort(file), 8080);
}

TEST_F(ProfileFileTest, WritingWhereNoFolderExistsFails) {
  CIniFile file(directory_.Path() + u"missing\\pelun.ini");
  EXPECT_FALSE(file.WriteString(u"Option", u"timer", u"30"));
  EXPECT_EQ(file.ReadInt(u"Option", u"timer", 30), 30);
}

TEST(AppDirectoriesOnWindows, ProgramFolderHoldsTheRunningProgram) {
  Text program = QueryProgramDirectory();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), u'\\');
  EXPECT_NE(::GetFileAttributesW(W(program + u"pelun_win_tests.exe")), INVALID_FILE_ATTRIBUTES);

  AppDirectories dirs = QueryAppDirectories();
  EXPECT_TRUE(EndsWith(dirs.data, u"\\pelun data\\")) << TextToAscii(dirs.data);
  EXPECT_TRUE(EndsWith(dirs.temp, u"\\pelun temporary\\")) << TextToAscii(dirs.temp);
}
