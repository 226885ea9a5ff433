#include "band/feed_links.h"

#include <gtest/gtest.h>

TEST(FeedLinks, TheFourFeedTypesWithRelAlternateInAnyCase) {
  struct Case { TextView type, rel; bool feed; };
  const Case cases[] = {
      {u"application/rss+xml", u"alternate", true},   {u"APPLICATION/ATOM+XML", u"ALTERNATE", true},
      {u"application/xml+rss", u"Alternate", true},   {u"application/xml+atom", u"alternate", true},
      {u"text/xml", u"alternate", false},             {u"application/rss+xml", u"stylesheet", false},
      {u"application/rss+xml", u"alternate feed", false}, {u"", u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsFeedLink(c.type, c.rel), c.feed) << std::string(c.type.begin(), c.type.end());
}

TEST(FeedLinks, TitleFallsBackToTheHrefAsWrittenWithoutLineBreaks) {
  EXPECT_EQ(FeedLinkTitle(u"", u"../rss.xml"), u"../rss.xml");
  EXPECT_EQ(FeedLinkTitle(u"News\r\n of\r\n the day\r", u"x"), u"News of the day");
}

TEST(FeedLinks, ResolveAgainstThePageAddress) {
  struct Case { TextView base, reference, expected; };
  const Case cases[] = {
      {u"http://host/dir/page.html", u"feed.xml", u"http://host/dir/feed.xml"},
      {u"http://host/dir/page.html", u"/rss", u"http://host/rss"},
      {u"http://host/dir/page.html", u"../x", u"http://host/x"},
      {u"http://host/dir/page.html", u"./a/../b", u"http://host/dir/b"},
      {u"http://host/dir/page.html", u"../../../x", u"http://host/x"},
      {u"http://host/dir/page.html", u"sub/", u"http://host"},
      {u"https://host:8443/a/b", u"c", u"https://host:8443/a/c"},
      {u"http://host:80/", u"c", u"http://host/c"},
      {u"https://host:443/p", u"c", u"https://host/c"},
      {u"http://host/\"a/b\"/page", u"f", u"http://host/a/b/f"},
      {u"http://host/dir/page.html", u"https://other/feed", u"https://other/feed"},
      {u"ftp://host/dir/page", u"feed.xml", u"feed.xml"},
      {u"not a url", u"feed.xml", u"feed.xml"},
      {u"", u"", u""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveFeedUrl(c.base, c.reference), c.expected)
        << std::string(c.base.begin(), c.base.end()) << " + " << std::string(c.reference.begin(), c.reference.end());
}

TEST(FeedLinks, TheAddCommandKeepsTheAddressButNotWhatWouldBreakTheRequestLine) {
  EXPECT_EQ(AddFeedCommand(u"http://h/f.xml?a=1&b=%41"), u"/add?http://h/f.xml?a=1&b=%41");
  EXPECT_EQ(AddFeedCommand(u"http://h/a b\r\nX: y#top\x7F"), u"/add?http://h/a%20b%0D%0AX:%20y%23top%7F");
  EXPECT_EQ(AddFeedCommand(u"http://h/日本"), u"/add?http://h/日本");
}
