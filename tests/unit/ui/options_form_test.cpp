#include "ui/options_form.h"

#include <gtest/gtest.h>

#include <array>

TEST(OptionsForm, ShowsTheSettingsAndDerivesThemBack) {
  CSettings s;
  s.timer = 0;
  s.notifySec = 0;
  s.notifyAlpha = 100;
  s.proxy.type = CProxySettings::kDirect;
  s.proxy.server = u"proxy.example";
  s.browser = u"C:\\b.exe";
  s.browseAll = 1;
  s.configuredPort = 8080;
  s.portInUse = 4474;
  OptionsForm f = FormFromSettings(s, u"proxy secret", u"phrase");
  EXPECT_FALSE(f.periodic);
  EXPECT_EQ(f.timerMinutes, 30);
  EXPECT_FALSE(f.autoClose);
  EXPECT_EQ(f.notifySeconds, 8);
  EXPECT_FALSE(f.translucent);
  EXPECT_EQ(f.alphaStep, 3);
  EXPECT_TRUE(f.useProxy);
  EXPECT_TRUE(f.useBrowser);
  EXPECT_EQ(f.port, 8080);
  EXPECT_EQ(f.proxyPassword, u"proxy secret");
  EXPECT_EQ(f.passPhrase, u"phrase");

  // Left as shown, the switched-off values stay off; a direct proxy becomes a given one.
  CSettings back = s;
  ApplyOptionsForm(f, back);
  EXPECT_EQ(back.timer, 0);
  EXPECT_EQ(back.notifySec, 0);
  EXPECT_EQ(back.notifyAlpha, 100);
  EXPECT_EQ(back.proxy.type, CProxySettings::kGivenHere);
  EXPECT_EQ(back.configuredPort, 8080);
  EXPECT_EQ(back.portInUse, 4474);  // the server keeps its port until the next start

  f.periodic = f.autoClose = f.translucent = true;
  f.useBrowser = false;
  ApplyOptionsForm(f, back);
  EXPECT_EQ(back.timer, 30);
  EXPECT_EQ(back.notifySec, 8);
  EXPECT_EQ(back.notifyAlpha, 60);  // checking translucency and leaving the slider
  EXPECT_EQ(back.browser, u"");
  EXPECT_EQ(back.browseAll, 0);
}

TEST(OptionsForm, AlphaAndProxyRules) {
  const std::pair<int32_t, std::pair<bool, int32_t>> alphas[] = {
      {0, {true, 0}}, {19, {true, 0}}, {40, {true, 2}}, {99, {true, 4}}, {100, {false, 3}}, {250, {false, 3}}, {-5, {true, 0}},
  };
  CSettings s;
  for (const auto& [alpha, shown] : alphas) {
    s.notifyAlpha = alpha;
    const OptionsForm f = FormFromSettings(s, u"", u"");
    EXPECT_EQ(std::make_pair(f.translucent, f.alphaStep), shown) << alpha;
  }
  for (int32_t step = 0; step <= kAlphaSteps; ++step) {
    OptionsForm f;
    f.translucent = true;
    f.alphaStep = step;
    ApplyOptionsForm(f, s);
    EXPECT_EQ(s.notifyAlpha, step * 20);
  }

  struct ProxyRow {
    bool on;
    Text server;
    int32_t port;
    int32_t type;
  };
  const ProxyRow proxies[] = {
      {true, u"p", 8080, 3}, {true, u"", 8080, 0}, {true, u"p", 0, 0}, {false, u"p", 8080, 0},
  };
  for (const auto& row : proxies) {
    OptionsForm f;
    f.useProxy = row.on;
    f.proxyServer = row.server;
    f.proxyPort = row.port;
    ApplyOptionsForm(f, s);
    EXPECT_EQ(s.proxy.type, row.type) << row.on << row.port;
    EXPECT_EQ(s.proxy.server, row.server);  // kept for the next time it is switched on
  }
}

TEST(OptionsForm, NotificationControlsFollowTheMethod) {
  const std::pair<int32_t, std::array<bool, 4>> rows[] = {
      {CSettings::kNotifyBalloon, {true, false, false, false}},
      {CSettings::kNotifyPopup, {true, true, true, false}},
      {CSettings::kNotifyTicker, {false, true, false, true}},
      {CSettings::kNotifyNone, {false, false, false, false}},
  };
  for (const auto& [method, shown] : rows) {
    const NotifyControlGroups g = VisibleNotifyControls(method);
    EXPECT_EQ((std::array<bool, 4>{g.folderList, g.colourAndAlpha, g.positionAndClose, g.tickerOnly}), shown)
        << method;
  }
}

TEST(OptionsForm, IntegerFieldsGiveTheRangeMessage) {
  struct Row {
    Text text;
    std::optional<int32_t> value;
    Text message;
  };
  const Row rows[] = {
      {u"15", 15, u""},
      {u" 999 ", 999, u""},
      {u"+20", 20, u""},
      {u"14", std::nullopt, u"Please enter an integer between 15 and 999."},
      {u"1000", std::nullopt, u"Please enter an integer between 15 and 999."},
      {u"-3", std::nullopt, u"Please enter an integer between 15 and 999."},
      {u"99999999999999", std::nullopt, u"Please enter an integer."},
      {u"", std::nullopt, u"Please enter an integer."},
      {u"3O", std::nullopt, u"Please enter an integer."},
      {u"１５", std::nullopt, u"Please enter an integer."},
  };
  for (const auto& row : rows) {
    const IntegerField field = CheckIntegerField(row.text, 15, 999);
    EXPECT_EQ(field.value, row.value);
    EXPECT_EQ(field.message, row.message);
  }
  EXPECT_EQ(CheckIntegerField(u"0", 0, 600).value, 0);
  EXPECT_EQ(CheckIntegerField(u"65535", 1, 65535).value, 65535);
}

TEST(OptionsForm, LimitListAddsOnlyWhatNoEntryBeginsWith) {
  std::vector<Text> list{u"Example.com/feeds", u"news.example"};
  auto added = AddToLimitList(list, u"  example.COM ");
  EXPECT_EQ(added.select, 0u);
  EXPECT_FALSE(added.appended);
  added = AddToLimitList(list, u"\tother.example\r\n");
  EXPECT_EQ(added.select, 2u);
  EXPECT_TRUE(added.appended);
  EXPECT_EQ(list, (std::vector<Text>{u"Example.com/feeds", u"news.example", u"other.example"}));
  EXPECT_FALSE(AddToLimitList(list, u"   ").select);  // a beep
  // A longer text than the entry is no beginning of it.
  EXPECT_TRUE(AddToLimitList(list, u"news.example.jp").appended);
  EXPECT_EQ(list.size(), 4u);
}
