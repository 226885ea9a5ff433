#include "check/fetch_rules.h"

#include <gtest/gtest.h>

#include <map>

TEST(FetchRules, FeedAddressesBecomeWhatTheyWrap) {
  const struct {
    const char16_t* url;
    const char16_t* expected;
  } cases[] = {
      {u"feed://host/rss.xml", u"http://host/rss.xml"},
      {u"FEED://host/rss.xml", u"http://host/rss.xml"},
      {u"feed:http://host/rss.xml", u"http://host/rss.xml"},
      {u"feed:https://host/rss.xml", u"https://host/rss.xml"},
      {u" feed:https://host/rss.xml", u"https://host/rss.xml"},
      {u"xyfeed:http://host/", u"xyfeed:http://host/"},  // too far in to be a prefix
      {u"http://host/feed://x", u"http://host/feed://x"},
      {u"feed", u"feed"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeFeedUrl(c.url), c.expected) << TextToAscii(c.url);
}

TEST(FetchRules, NonHttpAddressesNameLocalFiles) {
  for (const char16_t* url : {u"http://h/a.xml", u"HTTPS://h/a.xml"})
    EXPECT_FALSE(LocalFilePath(url)) << TextToAscii(url);
  const struct {
    const char16_t* url;
    const char16_t* expected;
  } cases[] = {
      {u"file:///C:/x/a%20b.xml", u"C:\\x\\a b.xml"},
      {u"file://localhost/C:/x/a.xml", u"C:\\x\\a.xml"},
      {u"FILE://C:/x/a.xml", u"C:\\x\\a.xml"},
      {u"file:C:/x/a.xml", u"C:\\x\\a.xml"},
      {u"file:///C|/x/a.xml", u"C:\\x\\a.xml"},
      {u"file://server/share/a%20b.xml", u"\\\\server\\share\\a b.xml"},
      {u"file:///Z:/tmp/%93%FA.xml", u"Z:\\tmp\\日.xml"},
      // Plain paths are not URLs: a "%" in a file name stays.
      {u"C:\\feeds\\100%25.xml", u"C:\\feeds\\100%25.xml"},
      {u"c:/feeds/a.xml", u"c:\\feeds\\a.xml"},
      {u"\\\\server\\share\\a.xml", u"\\\\server\\share\\a.xml"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocalFilePath(c.url).value_or(u"-"), c.expected) << TextToAscii(c.url);
}

TEST(FetchRules, HeadersAskConditionallyAndNameTheAgent) {
  using Lines = std::vector<Text>;
  const Text own = kOwnUserAgentHeader;
  const Text browser = kBrowserUserAgentHeader;
  const Text since = u"If-Modified-Since: Sat, 01 Jan 2005 00:00:00 GMT";
  const TextView date = u"Sat, 01 Jan 2005 00:00:00 GMT";
  const TextView tag = u"W/\"5-a\"";
  const Text match = u"If-None-Match: W/\"5-a\"";
  EXPECT_EQ(ScheduledHeaders(date, u"", false, u"http://h/", u""), (Lines{since, own}));
  EXPECT_EQ(ScheduledHeaders(date, tag, false, u"http://h/", u""), (Lines{since, match, own}));
  EXPECT_EQ(ScheduledHeaders(u"", tag, false, u"http://h/", u""), (Lines{match, own}));
  EXPECT_EQ(ScheduledHeaders(date, tag, true, u"http://h/", u""), (Lines{own}));
  EXPECT_EQ(ScheduledHeaders(u"", u"", false, u"http://h/", u""), (Lines{own}));
  EXPECT_EQ(ScheduledHeaders(u"", u"", false, u"http://shop.example/rss", u"shop.example"), (Lines{browser}));
  EXPECT_EQ(ScheduledHeaders(date, u"", false, u"http://other/rss", u"shop.example"), (Lines{since, own}));
  EXPECT_EQ(ScheduledHeaders(u"", u"", false, u"http://h/", kBrowserAgentHostFragment), (Lines{own}));
}

TEST(FetchRules, ErrorCodesAndProxyChoice) {
  const auto code = [](std::optional<uint32_t> status) {
    if (!status) return CheckErrorCode(std::nullopt);
    FetchResult result;
    result.status = *status;
    return CheckErrorCode(result);
  };
  EXPECT_EQ(code(std::nullopt), 10000);
  const std::map<uint32_t, int32_t> statuses = {{0, 0},     {99, 100},  {100, 100}, {200, 200},
                                                {304, 304}, {999, 999}, {1000, 100}, {0xFFFFFFFF, 100}};
  for (const auto& [status, expected] : statuses) EXPECT_EQ(code(status), expected) << status;

  CProxySettings proxy;
  proxy.type = CProxySettings::kGivenHere;
  proxy.server = u"proxy.example";
  proxy.port = 8080;
  EXPECT_EQ(ChooseProxy(proxy).access, ProxyAccess::kNamed);
  EXPECT_EQ(ChooseProxy(proxy).server, u"proxy.example:8080");
  proxy.port = 0;
  EXPECT_EQ(ChooseProxy(proxy).access, ProxyAccess::kSystem);
  proxy.port = 8080;
  proxy.server.clear();
  EXPECT_EQ(ChooseProxy(proxy).access, ProxyAccess::kSystem);
  proxy.type = CProxySettings::kDirect;
  EXPECT_EQ(ChooseProxy(proxy).access, ProxyAccess::kDirect);
  for (int32_t type : {0, 2, 4, -1}) {
    proxy.type = type;
    EXPECT_EQ(ChooseProxy(proxy).access, ProxyAccess::kSystem) << type;
  }
}

TEST(FetchRules, RedirectsAreFollowedTwiceAndReportTheFirstTarget) {
  // Each address answers with the status and target the map gives.
  std::map<Text, std::pair<uint32_t, Text>> answers = {
      {u"http://h/0", {301, u"http://h/1"}}, {u"http://h/1", {302, u"http://h/2"}},
      {u"http://h/2", {307, u"http://h/3"}}, {u"http://h/3", {200, u""}},
      {u"http://h/a", {302, u"http://h/b"}}, {u"http://h/b", {200, u""}},
      {u"http://h/r", {301, u"http://h/gone"}},
      {u"http://h/share", {302, u"news://h/s/x.xml"}}, {u"http://h/mail", {301, u"mailto:Z:/feeds/x.xml"}},
      {u"http://h/file", {302, u"http://h/file2"}}, {u"http://h/file2", {302, u"file:///C:/x.xml"}}};
  std::vector<Text> asked;
  const auto transfer = [&](const Text& url) -> std::optional<FetchResult> {
    asked.push_back(url);
    const auto found = answers.find(url);
    if (found == answers.end()) return std::nullopt;
    FetchResult result;
    result.status = found->second.first;
    result.location = found->second.second;
    return result;
  };

  auto chain = TransferWithRedirects(u"http://h/0", transfer);
  ASSERT_TRUE(chain);
  EXPECT_EQ(chain->status, 307u);
  EXPECT_EQ(chain->location, u"http://h/1");
  EXPECT_EQ(asked, (std::vector<Text>{u"http://h/0", u"http://h/1", u"http://h/2"}));

  asked.clear();
  auto once = TransferWithRedirects(u"http://h/a", transfer);
  ASSERT_TRUE(once);
  EXPECT_EQ(once->status, 200u);
  EXPECT_EQ(once->location, u"http://h/b");

  auto direct = TransferWithRedirects(u"http://h/3", transfer);
  ASSERT_TRUE(direct);
  EXPECT_EQ(direct->location, u"");
  EXPECT_FALSE(TransferWithRedirects(u"http://h/r", transfer));
  asked.clear();
  for (TextView away : {u"http://h/share", u"http://h/mail", u"http://h/file"})
    EXPECT_FALSE(TransferWithRedirects(Text(away), transfer)) << "only web redirects are followed";
  EXPECT_EQ(asked, (std::vector<Text>{u"http://h/share", u"http://h/mail", u"http://h/file", u"http://h/file2"}));
}
