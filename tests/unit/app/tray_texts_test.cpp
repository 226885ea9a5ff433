#include "app/tray_texts.h"

#include <gtest/gtest.h>

#include "app/program_requests.h"

namespace {

std::vector<TopFolderState> ManyFolders(size_t count) {
  std::vector<TopFolderState> folders(count);
  for (size_t i = 0; i < count; ++i) folders[i] = {u"F" + UnsignedDecimalText(uint32_t(i)), 0, true};
  return folders;
}

}  // namespace

TEST(TrayMenu, FolderEntriesShowCountsDefaultAndRecentPages) {
  const auto entries = BuildTrayFolderEntries({
      {u"速報 & 解説", 0, false},
      {u"技術", 2, true},
      {u"天気", 1, false},
  });
  ASSERT_EQ(entries.folders.size(), 3u);
  const TrayFolderEntry& first = entries.folders[0];
  EXPECT_EQ(first.text, u"【速報 && 解説】\t-");
  EXPECT_EQ(first.command, 800u);
  EXPECT_FALSE(first.isDefault);
  EXPECT_EQ(first.recentText, u"【速報 && 解説】");
  EXPECT_EQ(first.recentCommand, 0u) << "no stored page: greyed";

  const TrayFolderEntry& second = entries.folders[1];
  EXPECT_EQ(second.text, u"【技術】\t2件");
  EXPECT_EQ(second.command, 801u);
  EXPECT_TRUE(second.isDefault) << "the first folder with news is the default entry";
  EXPECT_EQ(second.recentCommand, 701u);

  EXPECT_FALSE(entries.folders[2].isDefault) << "only one default entry";
  EXPECT_TRUE(entries.anyRecent);
  EXPECT_FALSE(BuildTrayFolderEntries({{u"a", 0, false}}).anyRecent);
  EXPECT_TRUE(BuildTrayFolderEntries({}).folders.empty());
}

// From the 101st folder on, 700 + p would reach the 800 range and open another folder's page.
TEST(TrayMenu, FoldersBeyondTheCommandRangeAreGreyed) {
  const auto entries = BuildTrayFolderEntries(ManyFolders(130));
  ASSERT_EQ(entries.folders.size(), 130u);
  EXPECT_EQ(entries.folders[99].command, 899u);
  EXPECT_EQ(entries.folders[99].recentCommand, 799u);
  for (size_t p = 100; p < 130; ++p) {
    EXPECT_EQ(entries.folders[p].command, 0u) << p;
    EXPECT_EQ(entries.folders[p].recentCommand, 0u) << p;
    EXPECT_EQ(entries.folders[p].text, u"【F" + UnsignedDecimalText(uint32_t(p)) + u"】\t-");
  }
}

TEST(TrayNotice, ListsFoldersWithNewsOrCountsSites) {
  const std::vector<TopFolderState> folders{{u"ニュース", 3, false}, {u"静か", 0, false}, {u"A&B", 1, true}};
  const NewsNotice listed = BuildNewsNotice(folders, true, 4);
  EXPECT_EQ(listed.title, u"pelun新着");
  EXPECT_EQ(listed.text, u"・ニュース (3件)\n・A&B (1件)") << "balloons show ampersands as they are";

  const NewsNotice counted = BuildNewsNotice(folders, false, 3);
  EXPECT_EQ(counted.title, u"pelun");
  EXPECT_EQ(counted.text, u"3件のサイトに新着がありました。");
}

TEST(TrayNotice, CutTextKeepsSurrogatePairsWhole) {
  EXPECT_EQ(CutText(u"abc", 5), u"abc");
  EXPECT_EQ(CutText(u"abcdef", 4), u"abcd");
  EXPECT_EQ(CutText(u"ab\U0001F600", 3), u"ab") << "half a pair is dropped";
  EXPECT_EQ(CutText(u"ab\U0001F600", 4), u"ab\U0001F600");
  EXPECT_EQ(CutText(Text(300, u'あ'), kBalloonTextChars).size(), kBalloonTextChars);
}

TEST(TrayNotice, IconFollowsCheckingThenNews) {
  EXPECT_EQ(ChooseTrayIcon(true, true), kTrayIconChecking);
  EXPECT_EQ(ChooseTrayIcon(true, false), kTrayIconChecking);
  EXPECT_EQ(ChooseTrayIcon(false, true), kTrayIconNews);
  EXPECT_EQ(ChooseTrayIcon(false, false), kTrayIconIdle);
}

TEST(ProgramRequests, TopItemListHoldsFourStringsPerFolderAndAFinalNul) {
  EXPECT_EQ(BuildTopItemList({}, 4474), Text(1, u'\0'));
  const Text list = BuildTopItemList({{u"ニュース", 2, 17}, {u"空", 0, 42}}, 8080);
  const Text expected = Text(u"ニュース") + u'\0' + u"2" + u'\0' + u"http://127.0.0.1:8080/new?17" +
                        u'\0' + u"http://127.0.0.1:8080/top?17" + u'\0' + u"空" + u'\0' + u"0" +
                        u'\0' + u"http://127.0.0.1:8080/new?42" + u'\0' +
                        u"http://127.0.0.1:8080/top?42" + u'\0' + u'\0';
  EXPECT_EQ(list, expected);
}
