#include "util/url.h"

#include <gtest/gtest.h>

TEST(ParseAbsoluteUrl, SplitsSchemeHostPortAndPath) {
  auto url = ParseAbsoluteUrl(u"HTTP://user:p@ss@Host.example:8080/a/b?q=/x#frag/y");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->scheme, u"http");
  EXPECT_EQ(url->host, u"Host.example");
  EXPECT_EQ(url->port, 8080);
  EXPECT_EQ(url->pathAndQuery, u"/a/b?q=/x");
  EXPECT_TRUE(url->hasAuthority);
  EXPECT_TRUE(url->knownScheme);
}

TEST(ParseAbsoluteUrl, PortDefaultsByScheme) {
  EXPECT_EQ(ParseAbsoluteUrl(u"https://h")->port, 443);
  EXPECT_EQ(ParseAbsoluteUrl(u"https://h")->pathAndQuery, u"/");
  EXPECT_EQ(ParseAbsoluteUrl(u"http://h?x")->pathAndQuery, u"/?x");
  EXPECT_EQ(ParseAbsoluteUrl(u"ftp://h/f")->port, 21);
  EXPECT_EQ(ParseAbsoluteUrl(u"http://h:/f")->port, 80);
  EXPECT_EQ(ParseAbsoluteUrl(u"http://h:0081/f")->port, 81);
}

TEST(ParseAbsoluteUrl, Ipv6LiteralsKeepTheirBrackets) {
  auto url = ParseAbsoluteUrl(u"http://u@[::1]:4474/new");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->host, u"[::1]");
  EXPECT_EQ(url->port, 4474);
  EXPECT_FALSE(ParseAbsoluteUrl(u"http://[::1/new"));
  EXPECT_FALSE(ParseAbsoluteUrl(u"http://[::1]x/new"));
}

TEST(ParseAbsoluteUrl, RejectsBadPorts) {
  EXPECT_FALSE(ParseAbsoluteUrl(u"http://h:65536/"));
  EXPECT_FALSE(ParseAbsoluteUrl(u"http://h:99999999999999999999/"));
  EXPECT_FALSE(ParseAbsoluteUrl(u"http://h:8a/"));
  EXPECT_FALSE(ParseAbsoluteUrl(u"http://h:-1/"));
}

TEST(ParseAbsoluteUrl, ScriptingSchemesParseButAreUnknown) {
  auto script = ParseAbsoluteUrl(u"JavaScript:alert(1)");
  ASSERT_TRUE(script);
  EXPECT_EQ(script->scheme, u"javascript");
  EXPECT_FALSE(script->knownScheme);
  EXPECT_FALSE(ParseAbsoluteUrl(u"data:text/html,x")->knownScheme);
  EXPECT_TRUE(ParseAbsoluteUrl(u"mailto:a@b")->knownScheme);
  EXPECT_FALSE(ParseAbsoluteUrl(u"mailto:a@b")->hasAuthority);
}

TEST(ParseAbsoluteUrl, RelativeTextIsNotAbsolute) {
  const std::vector<Text> texts = {u"",           u"/x",    u"x.html",      u"1http://h/",
                                   u" http://h/", u"a b:c", u"?x=http://h", u"&#106;avascript:x"};
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_FALSE(ParseAbsoluteUrl(texts[i])) << "case " << i;
}

class ResolveUrlTest : public ::testing::Test {
 protected:
  static Text Resolve(TextView reference) {
    return ResolveUrl(u"http://h/a/b/feed.rdf", reference);
  }
};

TEST_F(ResolveUrlTest, RelativeReferencesWalkTheBaseDirectory) {
  EXPECT_EQ(Resolve(u"../c/d.html"), u"http://h/a/c/d.html");
  EXPECT_EQ(Resolve(u"/x.png"), u"http://h/x.png");
  EXPECT_EQ(Resolve(u"./x.png"), u"http://h/a/b/x.png");
  EXPECT_EQ(Resolve(u"../../../../x"), u"http://h/x");
  // Dot segments after the first ordinary segment are kept as written.
  EXPECT_EQ(Resolve(u"c/../d"), u"http://h/a/b/c/../d");
}

TEST_F(ResolveUrlTest, DotSegmentsAloneNameADirectory) {
  EXPECT_EQ(Resolve(u"."), u"http://h/a/b/");
  EXPECT_EQ(Resolve(u".."), u"http://h/a/");
  EXPECT_EQ(Resolve(u"/"), u"http://h/");
}

TEST_F(ResolveUrlTest, FragmentsAndQueriesReferToTheBaseDocument) {
  EXPECT_EQ(ResolveUrl(u"http://h/a/p.php?id=1#top", u"#note"), u"http://h/a/p.php?id=1#note");
  EXPECT_EQ(ResolveUrl(u"http://h/a/p.php?id=1", u"?id=2"), u"http://h/a/p.php?id=2");
}

TEST_F(ResolveUrlTest, TheBaseQueryGivesNoDirectories) {
  EXPECT_EQ(ResolveUrl(u"http://h/dir/rss.php?u=http://x/y/z", u"item.html"),
            u"http://h/dir/item.html");
  EXPECT_EQ(ResolveUrl(u"http://h/dir/a.html#p/q", u"b.html"), u"http://h/dir/b.html");
}

TEST_F(ResolveUrlTest, SchemeRelativeReferencesTakeTheBaseScheme) {
  EXPECT_EQ(ResolveUrl(u"https://h/a", u"//cdn.example/i.png"), u"https://cdn.example/i.png");
  EXPECT_EQ(ResolveUrl(u"https://h/a", u"//cdn.example:99999/i.png"), u"");
}

TEST_F(ResolveUrlTest, KnownAbsoluteReferencesComeBackUnchanged) {
  EXPECT_EQ(Resolve(u"https://x/y?z"), u"https://x/y?z");
  EXPECT_EQ(Resolve(u"mailto:a@b"), u"mailto:a@b");
  EXPECT_EQ(Resolve(u"\r\n http://x/ \t"), u"http://x/");
}

TEST_F(ResolveUrlTest, UnwantedSchemesGiveTheEmptyText) {
  const std::vector<Text> references = {u"javascript:alert(1)",  u"JAVASCRIPT:alert(1)",
                                        u" javascript:alert(1)", u"\x01javascript:alert(1)",
                                        u"vbscript:msgbox",      u"data:text/html,<script>",
                                        u"file:///c:/boot.ini",  u"FILE://server/share",
                                        u"c:\\boot.ini",         u""};
  for (size_t i = 0; i < references.size(); ++i)
    EXPECT_EQ(Resolve(references[i]), u"") << "case " << i;
}

TEST_F(ResolveUrlTest, PortsOtherThanTheDefaultStay) {
  EXPECT_EQ(ResolveUrl(u"http://h:8080/a/b", u"c"), u"http://h:8080/a/c");
  EXPECT_EQ(ResolveUrl(u"http://h:80/a/b", u"c"), u"http://h/a/c");
  EXPECT_EQ(ResolveUrl(u"https://h:443/a/b", u"c"), u"https://h/a/c");
  EXPECT_EQ(ResolveUrl(u"https://h:8443/a/b", u"c"), u"https://h:8443/a/c");
  EXPECT_EQ(ResolveUrl(u"https://h/a/b", u"c"), u"https://h/a/c");
}

TEST_F(ResolveUrlTest, UserInfoAndIpv6HostsResolve) {
  EXPECT_EQ(ResolveUrl(u"http://u:p@h:81/a/b", u"c"), u"http://h:81/a/c");
  EXPECT_EQ(ResolveUrl(u"http://[::1]:4474/a", u"b"), u"http://[::1]:4474/b");
}

TEST_F(ResolveUrlTest, ReferenceStaysWhenTheBaseIsNoWebAddress) {
  EXPECT_EQ(ResolveUrl(u"ftp://h/a/b", u"c/d"), u"c/d");
  EXPECT_EQ(ResolveUrl(u"", u"c/d"), u"c/d");
  EXPECT_EQ(ResolveUrl(u"not a url", u"/c"), u"/c");
  EXPECT_EQ(ResolveUrl(u"http:relative", u"c"), u"c");
  EXPECT_EQ(ResolveUrl(u"http://h:99999/a", u"c"), u"c");
}
