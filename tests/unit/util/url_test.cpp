#include "util/url.h"

#include <gtest/gtest.h>

TEST(ParseAbsoluteUrl, SplitsSchemeHostPortAndPath) {
  const UrlParts url = ParseAbsoluteUrl(u"HTTP://user:p@ss@Host.example:8080/a?q=/x#f/y").value();
  EXPECT_EQ(url.scheme, u"http");
  EXPECT_EQ(url.host, u"Host.example");
  EXPECT_EQ(url.port, 8080);
  EXPECT_EQ(url.pathAndQuery, u"/a?q=/x");
  EXPECT_TRUE(url.hasAuthority && url.knownScheme);

  EXPECT_EQ(ParseAbsoluteUrl(u"https://h").value().port, 443);
  EXPECT_EQ(ParseAbsoluteUrl(u"https://h").value().pathAndQuery, u"/");
  EXPECT_EQ(ParseAbsoluteUrl(u"http://h?x").value().pathAndQuery, u"/?x");
  EXPECT_EQ(ParseAbsoluteUrl(u"http://h:/f").value().port, 80);
  EXPECT_EQ(ParseAbsoluteUrl(u"http://u@[::1]:4474/new").value().host, u"[::1]");
}

TEST(ParseAbsoluteUrl, RejectsBadPortsAndBrackets) {
  for (const char16_t* text :
       {u"http://h:65536/", u"http://h:99999999999999999999/", u"http://h:8a/", u"http://h:-1/",
        u"http://[::1/new", u"http://[::1]x/new"})
    EXPECT_FALSE(ParseAbsoluteUrl(text)) << TextToAscii(text);
}

TEST(ParseAbsoluteUrl, ScriptingSchemesParseButAreUnknown) {
  const UrlParts script = ParseAbsoluteUrl(u"JavaScript:alert(1)").value();
  EXPECT_EQ(script.scheme, u"javascript");
  EXPECT_FALSE(script.knownScheme);
  EXPECT_FALSE(ParseAbsoluteUrl(u"data:text/html,x").value().knownScheme);
  EXPECT_TRUE(ParseAbsoluteUrl(u"mailto:a@b").value().knownScheme);
  for (const char16_t* text : {u"", u"/x", u"x.html", u"1http://h/", u" http://h/", u"a b:c"})
    EXPECT_FALSE(ParseAbsoluteUrl(text)) << TextToAscii(text);
}

namespace {
Text Resolve(TextView reference) { return ResolveUrl(u"http://h/a/b/feed.rdf", reference); }
}  // namespace

TEST(ResolveUrl, RelativeReferencesWalkTheBaseDirectory) {
  EXPECT_EQ(Resolve(u"../c/d.html"), u"http://h/a/c/d.html");
  EXPECT_EQ(Resolve(u"/x.png"), u"http://h/x.png");
  EXPECT_EQ(Resolve(u"./x.png"), u"http://h/a/b/x.png");
  EXPECT_EQ(Resolve(u"../../../../x"), u"http://h/x");
  // Dot segments after the first ordinary segment are kept as written.
  EXPECT_EQ(Resolve(u"c/../d"), u"http://h/a/b/c/../d");
  // Dot segments alone name a directory.
  EXPECT_EQ(Resolve(u".."), u"http://h/a/");
  EXPECT_EQ(Resolve(u"/"), u"http://h/");
}

TEST(ResolveUrl, QueriesFragmentsAndSchemeRelativeReferences) {
  EXPECT_EQ(ResolveUrl(u"http://h/a/p.php?id=1#top", u"#note"), u"http://h/a/p.php?id=1#note");
  EXPECT_EQ(ResolveUrl(u"http://h/a/p.php?id=1", u"?id=2"), u"http://h/a/p.php?id=2");
  // Slashes in the base's query or fragment are no directories.
  EXPECT_EQ(ResolveUrl(u"http://h/d/rss.php?u=http://x/y/z", u"i.html"), u"http://h/d/i.html");
  EXPECT_EQ(ResolveUrl(u"http://h/d/a.html#p/q", u"b.html"), u"http://h/d/b.html");
  EXPECT_EQ(ResolveUrl(u"https://h/a", u"//cdn.example/i.png"), u"https://cdn.example/i.png");
  EXPECT_EQ(ResolveUrl(u"https://h/a", u"//cdn.example:99999/i.png"), u"");
}

TEST(ResolveUrl, AbsoluteReferencesStayOrVanishByScheme) {
  EXPECT_EQ(Resolve(u"https://x/y?z"), u"https://x/y?z");
  EXPECT_EQ(Resolve(u"mailto:a@b"), u"mailto:a@b");
  EXPECT_EQ(Resolve(u"\r\n http://x/ \t"), u"http://x/");
  for (const char16_t* reference :
       {u"javascript:alert(1)", u"JAVASCRIPT:alert(1)", u" javascript:alert(1)",
        u"\x01javascript:alert(1)", u"vbscript:msgbox", u"data:text/html,<script>",
        u"file:///c:/boot.ini", u"FILE://server/share", u"c:\\boot.ini", u""})
    EXPECT_EQ(Resolve(reference), u"") << TextToAscii(reference);
}

TEST(ResolveUrl, OnlyPortsOtherThanTheDefaultStay) {
  EXPECT_EQ(ResolveUrl(u"http://h:8080/a/b", u"c"), u"http://h:8080/a/c");
  EXPECT_EQ(ResolveUrl(u"http://h:80/a/b", u"c"), u"http://h/a/c");
  EXPECT_EQ(ResolveUrl(u"https://h:443/a/b", u"c"), u"https://h/a/c");
  EXPECT_EQ(ResolveUrl(u"https://h:8443/a/b", u"c"), u"https://h:8443/a/c");
  EXPECT_EQ(ResolveUrl(u"http://u:p@h:81/a/b", u"c"), u"http://h:81/a/c");
  EXPECT_EQ(ResolveUrl(u"http://[::1]:4474/a", u"b"), u"http://[::1]:4474/b");
}

TEST(ResolveUrl, ReferenceStaysWhenTheBaseIsNoWebAddress) {
  EXPECT_EQ(ResolveUrl(u"ftp://h/a/b", u"c/d"), u"c/d");
  EXPECT_EQ(ResolveUrl(u"", u"c/d"), u"c/d");
  EXPECT_EQ(ResolveUrl(u"http:relative", u"c"), u"c");
  EXPECT_EQ(ResolveUrl(u"http://h:99999/a", u"/c"), u"/c");
}

TEST(IsThisComputerHost, EverySpellingOfTheLoopbackAddress) {
  for (TextView host : {u"127.0.0.1", u"127.1", u"127.0.1", u"2130706433", u"0x7f000001", u"0x7f.1", u"0177.0.0.1",
                        u"0x7F.0.0.0x1", u"127.255.255.254", u"127.0.0.1.", u"0.0.0.0", u"0", u"localhost",
                        u"LocalHost.", u"a.b.localhost", u"[::1]", u"[::ffff:127.0.0.1]", u"%31%32%37.0.0.1",
                        u"１２７．０．０．１", u"127。0。0。1", u"256.0.0.1", u"1.2.3.4.5", u"%zz", u"", u"127.0.0.1&x"})
    EXPECT_TRUE(IsThisComputerHost(host)) << TextToAscii(host);
  for (TextView host : {u"example.com", u"128.0.0.1", u"10.0.0.1", u"192.168.1.1", u"localhost.example.com",
                        u"127.example.com", u"0x7f.example", u"1.127.0.0", u"xn--eckwd4c7c.jp"})
    EXPECT_FALSE(IsThisComputerHost(host)) << TextToAscii(host);
}

TEST(IsForeignUrl, OnlyWholeAddressesOfOtherComputers) {
  for (TextView url : {u"http://example.com/a?b#c", u"https://u:p@example.com:8443/", u"ftp://example.com/f",
                       u"mailto:a@example.com", u"#anchor", u"http://127.0.0.1@example.com/"})
    EXPECT_TRUE(IsForeignUrl(url)) << TextToAscii(url);
  for (TextView url : {u"/add?x", u"add?x", u"//example.com/", u"http:/example.com/", u"http:example.com",
                       u"http:\\\\example.com\\", u"http://exa\tmple.com/", u"http://example.com@127.0.0.1/",
                       u"http://localhost:4474/", u"file:///c:/x", u"javascript:x", u"data:text/html,x", u""})
    EXPECT_FALSE(IsForeignUrl(url)) << TextToAscii(url);
}
