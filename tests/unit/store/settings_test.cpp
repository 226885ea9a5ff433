#include "store/settings.h"

#include <gtest/gtest.h>

#include "tests/unit/store/memory_profile.h"

namespace {

CSettings LoadWithOption(TextView key, TextView value) {
  MemoryProfile file;
  file.Set(u"Option", key, value);
  return LoadSettings(file);
}

std::vector<Text> WrittenKeys(const MemoryProfile& file, TextView section) {
  std::vector<Text> keys;
  for (const auto& write : file.writes)
    if (write.section == section) keys.push_back(write.key);
  return keys;
}

Text Written(const MemoryProfile& file, TextView section, TextView key) {
  const Text* value = file.Find(section, key);
  return value ? *value : u"(missing)";
}

}  // namespace

TEST(SettingsLoad, MissingFileGivesTheDefaults) {
  MemoryProfile empty;
  CSettings s = LoadSettings(empty);
  EXPECT_EQ(s.notifyMyWindow, 0);
  EXPECT_EQ(s.notifyFolder, 1);
  EXPECT_EQ(s.notifySec, 8);
  EXPECT_EQ(s.notifyPos, 4);
  EXPECT_EQ(s.notifyAlpha, 100);
  EXPECT_EQ(s.tickerInterval, 8);
  EXPECT_EQ(s.sound, u"popup.wav");
  EXPECT_EQ(s.firstCheck, 1);
  EXPECT_EQ(s.delay, 3);
  EXPECT_EQ(s.timer, 30);
  EXPECT_EQ(s.connection, 5);
  EXPECT_EQ(s.timeout, 30);
  EXPECT_EQ(s.portInUse, 4474);
  EXPECT_EQ(s.configuredPort, 4474);
  EXPECT_EQ(s.leftItem, 5);
  EXPECT_EQ(s.loadItem, 15);
  EXPECT_TRUE(s.browser.empty());
  EXPECT_TRUE(s.protectedPassPhrase.empty());
  EXPECT_TRUE(s.limitUrls.empty());
  EXPECT_EQ(s.proxy.type, 0);
  EXPECT_EQ(s.proxy.port, 80);
}

TEST(SettingsLoad, OutOfRangeValuesAreReplacedAsUnsigned) {
  struct Case {
    const char16_t* key;
    const char16_t* text;
    int32_t CSettings::*member;
    int32_t expected;
  };
  const Case cases[] = {
      {u"timer", u"5", &CSettings::timer, 30},
      {u"timer", u"0", &CSettings::timer, 0},
      {u"timer", u"15", &CSettings::timer, 15},
      {u"timer", u"999", &CSettings::timer, 999},
      {u"timer", u"1000", &CSettings::timer, 30},
      {u"timer", u"-20", &CSettings::timer, 30},
      {u"delay", u"-1", &CSettings::delay, 3},
      {u"delay", u"0", &CSettings::delay, 0},
      {u"delay", u"600", &CSettings::delay, 600},
      {u"delay", u"601", &CSettings::delay, 3},
      {u"connection", u"0", &CSettings::connection, 5},
      {u"connection", u"11", &CSettings::connection, 5},
      {u"connection", u"1", &CSettings::connection, 1},
      {u"connection", u"10", &CSettings::connection, 10},
      {u"timeout", u"9", &CSettings::timeout, 30},
      {u"timeout", u"10", &CSettings::timeout, 10},
      {u"timeout", u"99", &CSettings::timeout, 99},
      {u"timeout", u"100", &CSettings::timeout, 30},
      {u"notifyPos", u"7", &CSettings::notifyPos, 4},
      {u"notifyPos", u"-1", &CSettings::notifyPos, 4},
      {u"notifyPos", u"0", &CSettings::notifyPos, 0},
      {u"notifySec", u"-1", &CSettings::notifySec, -1},  // no range: kept as read
  };
  for (const Case& c : cases) {
    CSettings s = LoadWithOption(c.key, c.text);
    EXPECT_EQ(s.*c.member, c.expected)
        << TextToAscii(c.key) << "=" << TextToAscii(c.text);
  }
}

TEST(SettingsLoad, PortIsClampedAndGivenToBothMembers) {
  CSettings s = LoadWithOption(u"port", u"65536");
  EXPECT_EQ(s.portInUse, 4474);
  EXPECT_EQ(s.configuredPort, 4474);
  EXPECT_EQ(LoadWithOption(u"port", u"-1").portInUse, 4474);
  EXPECT_EQ(LoadWithOption(u"port", u"letters").portInUse, 0);
  EXPECT_EQ(LoadWithOption(u"port", u" 8080 ").configuredPort, 8080);
  EXPECT_EQ(LoadWithOption(u"port", u"65535").configuredPort, 65535);
}

TEST(SettingsLoad, EmptyIntegerKeepsItsDefaultButEmptyTextStaysEmpty) {
  EXPECT_EQ(LoadWithOption(u"timer", u"").timer, 30);
  EXPECT_EQ(LoadWithOption(u"sound", u"").sound, u"");
  EXPECT_EQ(LoadWithOption(u"sound", u"ding.wav").sound, u"ding.wav");
}

TEST(SettingsLoad, TextsAreCutAtTheirLimits) {
  EXPECT_EQ(LoadWithOption(u"browser", Text(300, u'b')).browser, Text(255, u'b'));
  EXPECT_EQ(LoadWithOption(u"user", Text(1100, u'u')).protectedPassPhrase, Text(1023, u'u'));
}

TEST(SettingsLoad, LimitUrlListEndsAtTheFirstEmptyKey) {
  MemoryProfile file;
  file.Set(u"LimitUrl", u"url_0", u"example.com");
  file.Set(u"LimitUrl", u"url_1", u"");
  file.Set(u"LimitUrl", u"url_2", u"example.org");
  EXPECT_EQ(LoadSettings(file).limitUrls, std::vector<Text>{u"example.com"});

  MemoryProfile gap;
  gap.Set(u"LimitUrl", u"url_0", u"a");
  gap.Set(u"LimitUrl", u"url_2", u"c");
  EXPECT_EQ(LoadSettings(gap).limitUrls, std::vector<Text>{u"a"});
}

TEST(SettingsSave, ShorterLimitUrlListEndsWithAnEmptyKeyAndLeavesTheRest) {
  MemoryProfile file;
  file.Set(u"LimitUrl", u"url_0", u"a");
  file.Set(u"LimitUrl", u"url_1", u"b");
  file.Set(u"LimitUrl", u"url_2", u"c");
  CSettings s = LoadSettings(file);
  ASSERT_EQ(s.limitUrls.size(), 3u);
  s.limitUrls = {u"z"};
  WriteSettings(s, file);

  EXPECT_EQ(WrittenKeys(file, u"LimitUrl"), (std::vector<Text>{u"url_0", u"url_1"}));
  EXPECT_EQ(Written(file, u"LimitUrl", u"url_0"), u"z");
  EXPECT_EQ(Written(file, u"LimitUrl", u"url_1"), u"");
  EXPECT_EQ(Written(file, u"LimitUrl", u"url_2"), u"c");
  EXPECT_EQ(LoadSettings(file).limitUrls, std::vector<Text>{u"z"});
}

TEST(SettingsSave, WritesEverySectionInItsOrderWithTheExactKeys) {
  MemoryProfile file;
  WriteSettings(CSettings{}, file);

  const std::vector<Text> option = {
      u"notifyMyWindow", u"notifyfolder",   u"notifySec",    u"notifyPos",  u"notifyTextColor",
      u"notifyAlpha",    u"tickerInterval", u"tickerScroll", u"sound",      u"targetblank",
      u"first",          u"delay",          u"timer",        u"connection", u"timeout",
      u"port",           u"LeftItem",       u"LoadItem",     u"TitleOnly",  u"LeaveHtml",
      u"browser",        u"browseAll",      u"updateTitle",  u"user"};
  EXPECT_EQ(WrittenKeys(file, u"Option"), option);
  EXPECT_EQ(WrittenKeys(file, u"LimitUrl"), std::vector<Text>{u"url_0"});
  EXPECT_EQ(WrittenKeys(file, u"Proxy"),
            (std::vector<Text>{u"type", u"server", u"port", u"user", u"pass"}));

  // Sections follow one another: all of "Option", then "LimitUrl", then "Proxy".
  ASSERT_EQ(file.writes.size(), option.size() + 1 + 5);
  EXPECT_EQ(file.writes[option.size()].section, u"LimitUrl");
  EXPECT_EQ(file.writes.back().section, u"Proxy");
}

TEST(SettingsSave, RoundTripWritesUnsignedTextsAndReadsTheSameRecord) {
  CSettings s;
  s.notifyMyWindow = CSettings::kNotifyTicker;
  s.notifySec = -1;
  s.notifyTextColor = 0x00FF8040;
  s.sound = u"C:\\音\\chime.wav";
  s.timer = 0;
  s.portInUse = 4474;
  s.configuredPort = 8080;
  s.browser = u"\"C:\\Program Files\\b.exe\"";
  s.protectedPassPhrase = u"0123ABCD";
  s.limitUrls = {u"example.com", u"example.org/feed"};
  s.proxy = {CProxySettings::kGivenHere, u"proxy.example", 3128, u"me", u"PROTECTED"};

  MemoryProfile file;
  WriteSettings(s, file);
  EXPECT_EQ(Written(file, u"Option", u"notifyMyWindow"), u"2");
  EXPECT_EQ(Written(file, u"Option", u"notifySec"), u"4294967295");
  EXPECT_EQ(Written(file, u"Option", u"notifyTextColor"), u"16744512");
  EXPECT_EQ(Written(file, u"Option", u"timer"), u"0");
  EXPECT_EQ(Written(file, u"Option", u"port"), u"8080");
  EXPECT_EQ(Written(file, u"Option", u"user"), u"0123ABCD");
  EXPECT_EQ(Written(file, u"LimitUrl", u"url_1"), u"example.org/feed");
  EXPECT_EQ(Written(file, u"LimitUrl", u"url_2"), u"");
  EXPECT_EQ(Written(file, u"Proxy", u"type"), u"3");
  EXPECT_EQ(Written(file, u"Proxy", u"port"), u"3128");
  EXPECT_EQ(Written(file, u"Proxy", u"pass"), u"PROTECTED");

  CSettings back = LoadSettings(file);
  EXPECT_EQ(back.notifySec, -1);
  EXPECT_EQ(back.notifyTextColor, 0x00FF8040);
  EXPECT_EQ(back.sound, s.sound);
  EXPECT_EQ(back.timer, 0);
  EXPECT_EQ(back.portInUse, 8080);  // the saved port is the one in use after a restart
  EXPECT_EQ(back.browser, s.browser);
  EXPECT_EQ(back.protectedPassPhrase, s.protectedPassPhrase);
  EXPECT_EQ(back.limitUrls, s.limitUrls);
  EXPECT_EQ(back.proxy.server, u"proxy.example");
  EXPECT_EQ(back.proxy.user, u"me");
  EXPECT_EQ(back.proxy.protectedPass, u"PROTECTED");
}

TEST(SettingsSave, FailingWritesDoNotStopTheOthers) {
  MemoryProfile file;
  file.failWrites = true;
  WriteSettings(CSettings{}, file);
  EXPECT_EQ(file.writes.size(), 24u + 1u + 5u);
}

TEST(StartupPort, ReadsTheOptionPortWithTheSameRules) {
  MemoryProfile file;
  EXPECT_EQ(ReadStartupPort(file), 4474);
  file.Set(u"Option", u"port", u"70000");
  EXPECT_EQ(ReadStartupPort(file), 4474);
  file.Set(u"Option", u"port", u"-1");
  EXPECT_EQ(ReadStartupPort(file), 4474);
  file.Set(u"Option", u"port", u"8080");
  EXPECT_EQ(ReadStartupPort(file), 8080);
  file.Set(u"Option", u"port", u"");
  EXPECT_EQ(ReadStartupPort(file), 4474);
}

TEST(StartupPort, MutexNameEndsInUnderscoreAndPort) {
  EXPECT_EQ(PortMutexName(4474), u"Global\\pelun_exe_global_mutex_4474");
  EXPECT_EQ(PortMutexName(0), u"Global\\pelun_exe_global_mutex_0");
}

TEST(WindowPositions, DefaultsAndSignedCoordinates) {
  MemoryProfile file;
  MainWindowPosition main = ReadMainWindowPosition(file);
  EXPECT_EQ(main.left, 100);
  EXPECT_EQ(main.top, 100);
  EXPECT_EQ(main.width, 340);
  EXPECT_EQ(main.height, 450);
  TickerPosition ticker = ReadTickerPosition(file);
  EXPECT_EQ(ticker.left, 32);
  EXPECT_EQ(ticker.top, 32);
  EXPECT_EQ(ticker.width, 320);

  WriteMainWindowPosition(file, {-8, -1200, 500, 600});
  WriteTickerPosition(file, {-40, 10, 280});
  EXPECT_EQ(Written(file, u"Window", u"left"), u"-8");
  EXPECT_EQ(Written(file, u"Window", u"top"), u"-1200");
  EXPECT_EQ(Written(file, u"Window", u"height"), u"600");
  EXPECT_EQ(WrittenKeys(file, u"Ticker"), (std::vector<Text>{u"left", u"top", u"width"}));
  EXPECT_EQ(ReadMainWindowPosition(file).top, -1200);
  EXPECT_EQ(ReadTickerPosition(file).left, -40);
  EXPECT_EQ(ReadTickerPosition(file).width, 280);
}
