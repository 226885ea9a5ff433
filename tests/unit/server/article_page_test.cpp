// Article pages of folders and sites, the error page and reading as a side effect.
#include <gtest/gtest.h>

#include "server/page_markup.h"
#include "server/pages.h"
#include "tests/unit/server/fake_page_source.h"

namespace {

// Folder 101 with S1 (102: two old articles), S2 (103: new, old, new) and S3 (104: one old).
struct ThreeSites {
  FakePageSource source;
  CFolderItem& folder = source.AddFolder(u"F");
  CRssSiteItem& s1 = source.AddSite(folder, u"S1");
  CRssSiteItem& s2 = source.AddSite(folder, u"S2");
  CRssSiteItem& s3 = source.AddSite(folder, u"S3");

  explicit ThreeSites(bool news) {
    FakePageSource::AddArticle(s1, u"a", false);
    FakePageSource::AddArticle(s1, u"b", false);
    FakePageSource::AddArticle(s2, u"new0", news);
    FakePageSource::AddArticle(s2, u"old1", false);
    FakePageSource::AddArticle(s2, u"new2", news);
    FakePageSource::AddArticle(s3, u"c", false);
  }
};

// The text of block "l<index>" up to the next block or the end of the body.
Text Block(const Text& page, int index) {
  const size_t begin = page.find(u"<div id=\"l" + DecimalText(index) + u"\"");
  if (begin == Text::npos) return Text();
  size_t end = page.find(u"<div id=\"l", begin + 1);
  if (end == Text::npos) end = page.find(u"</body>", begin);
  return page.substr(begin, end - begin);
}

bool Has(const Text& text, TextView part) { return text.find(part) != Text::npos; }

}  // namespace

TEST(ArticlePage, FolderWithNewsShowsNewSitesFirstInFullAndReadsThem) {
  ThreeSites tree(true);
  const Text page = BuildPage(tree.source, 101, true);
  EXPECT_TRUE(Has(page, u"<title>F</title>\n"));
  // The names the site blocks and the toolbar band call.
  for (TextView name :
       {u"function getScrollPosition(", u"function getElementPosition(", u"function scrollSite(",
        u"function scrollSite2(", u"function sync(", u"function syncWrite(", u"function expand(",
        u"function expand2(", u"function expand2all(", u"code == 78", u"code == 75",
        u"code == 74", u"'/sync?' + i"})
    EXPECT_TRUE(Has(page, name)) << TextToAscii(name);
  EXPECT_TRUE(Has(page,
                  u"<base target=\"_blank\" />\n</head>\n<body id=\"feed_body\">\n"
                  u"<script src=\"./bar.js?101\"></script>\n<div id=\"l0\""));
  EXPECT_TRUE(EndsWith(page, u"</body></html>\n"));

  const Text first = Block(page, 0);
  EXPECT_TRUE(StartsWith(first,
                         u"<div id=\"l0\" name=\"l0\" class=\"sitetitle\"><a class=\"sitestr\" "
                         u"href=\"http://site.example/\">S2</a><a "
                         u"href=\"http://site.example/feed.rdf\" class=\"siterss\">RSS</a>"
                         u"<script type='text/javascript'><!--\nsyncWrite('103');\n"));
  EXPECT_TRUE(Has(first, u"<span class=\"contentnum\" onclick=\"expand2('0')\">(2/3)</span>"));
  EXPECT_TRUE(Has(first, u"<span class=\"siteupdown\">▲</span><span class=\"siteupdown\">▼"));
  EXPECT_TRUE(Has(first,
                  u"<span class=\"contentinfo\" id=\"c0\">\n<span class=\"contentlist\" "
                  u"onclick=\"expand('0_0');\" id=\"j0_0\">◆</span>"));
  EXPECT_TRUE(Has(first, u"id=\"j0_2\""));
  EXPECT_FALSE(Has(first, u"old1"));
  EXPECT_TRUE(Has(first,
                  u"<span class=\"contentcreator\">writer</span><div class=\"content\" "
                  u"id=\"i0_2\">\n<p>body</p></div>\n<hr class=\"contentend\" />\n"));

  for (int index : {1, 2}) {
    const Text other = Block(page, index);
    SCOPED_TRACE(index);
    EXPECT_TRUE(Has(other, u"class=\"sitetitle2\""));
    EXPECT_TRUE(EndsWith(other, u"<br clear=\"all\" /></div>\n"));
    for (TextView absent : {u"contentnum", u"siteupdown", u"contentinfo"})
      EXPECT_FALSE(Has(other, absent)) << TextToAscii(absent);
  }
  EXPECT_TRUE(Has(Block(page, 1), u">S1</a>"));
  EXPECT_TRUE(Has(Block(page, 2), u">S3</a>"));

  // Reading: flags down, bodies of the new articles gone, the next page lists titles only.
  EXPECT_EQ(tree.source.markReadCalls, std::vector<ItemId>{101});
  EXPECT_EQ(tree.folder.newFlag, 0);
  EXPECT_EQ(tree.s2.newFlag, 0);
  for (const auto& article : tree.s2.articles->Items()) {
    EXPECT_EQ(article->newFlag, 0);
    EXPECT_EQ(article->content, u"");
    EXPECT_EQ(article->creator, u"");
  }
  const Text again = BuildPage(tree.source, 101, false);
  EXPECT_TRUE(Has(Block(again, 1),
                  u"class=\"sitetitle2\"><a class=\"sitestr\" "
                  u"href=\"http://site.example/\">S2</a>"));
  EXPECT_FALSE(Has(again, u"class=\"contentlist\""));
}

TEST(ArticlePage, FolderWithoutNewsListsEveryTitleInTreeOrder) {
  ThreeSites tree(false);
  tree.source.settings.targetBlank = 0;
  const Text page = BuildPage(tree.source, 101, false);
  EXPECT_TRUE(Has(page, u"<base target=\"_top\" />\n"));
  const Text first = Block(page, 0), second = Block(page, 1), last = Block(page, 2);
  EXPECT_TRUE(Has(first, u">S1</a>"));
  EXPECT_TRUE(Has(second, u">S2</a>"));
  EXPECT_TRUE(Has(last, u">S3</a>"));
  for (const Text* block : {&first, &second, &last})
    EXPECT_TRUE(Has(*block, u"class=\"sitetitle2\"")) << TextToAscii(*block);
  EXPECT_TRUE(Has(second, u"<span class=\"contentnum\" onclick=\"expand2('1')\">(0/3)</span>"));
  EXPECT_TRUE(Has(first,
                  u"<span class=\"siteupdown\">▲</span><a "
                  u"href=\"javascript:scrollSite2(1);\" target=\"_self\" "
                  u"class=\"siteupdown\">▼</a>"));
  EXPECT_TRUE(Has(second, u"scrollSite2(0);") && Has(second, u"scrollSite2(2);"));
  EXPECT_TRUE(Has(last,
                  u"<a href=\"javascript:scrollSite2(1);\" target=\"_self\" "
                  u"class=\"siteupdown\">▲</a><span class=\"siteupdown\">▼</span>"));
  EXPECT_TRUE(Has(second,
                  u"<span class=\"contentinfo\" id=\"c1\">\n"
                  u"<span class=\"contentlist2\">◆</span><a "
                  u"href=\"http://site.example/a\" class=\"contenttitle2\">new0</a><br />\n"
                  u"<span class=\"contentlist2\">◆</span>"));
  EXPECT_TRUE(EndsWith(last, u"class=\"contenttitle2\">c</a><br />\n</span>\n\n"));
  EXPECT_EQ(tree.source.markReadCalls, std::vector<ItemId>{101});

  tree.source.settings.titleOnly = 1;
  const Text titles = BuildPage(tree.source, 101, false);
  for (TextView absent : {u"contentnum", u"siteupdown", u"contentinfo", u"contentlist2"})
    EXPECT_FALSE(Has(titles, absent)) << TextToAscii(absent);
  EXPECT_TRUE(Has(Block(titles, 2), u"class=\"sitetitle2\""));
}

TEST(ArticlePage, SitePageReadsTheSiteAndLeavesTheFolderNewWhileASiblingHasNews) {
  ThreeSites tree(true);
  FakePageSource::AddArticle(tree.s3, u"n", true);
  const Text page = BuildPage(tree.source, 103, true);
  EXPECT_TRUE(Has(page, u"<title>S2</title>\n"));
  EXPECT_TRUE(Has(page,
                  u"<script src=\"./bar.js?103\"></script>\n<div id=\"l0\" name=\"l0\" "
                  u"class=\"sitetitle\">"));
  EXPECT_FALSE(Has(page, u"id=\"l1\""));
  EXPECT_EQ(tree.source.markReadCalls, std::vector<ItemId>{103});
  EXPECT_EQ(tree.s2.newFlag, 0);
  EXPECT_EQ(tree.s3.newFlag, 1);
  EXPECT_EQ(tree.folder.newFlag, 1);
  EXPECT_EQ(tree.s3.articles->Items().back()->content, u"<p>body</p>");

  BuildPage(tree.source, 104, true);
  EXPECT_EQ(tree.folder.newFlag, 0);
}

TEST(ArticlePage, ErrorPageForUnknownIdsAndHiddenNewsMarksNothing) {
  ThreeSites tree(true);
  EXPECT_EQ(kErrorPage, u"<html><head><title>error</title></head></html>");
  for (ItemId id : {ItemId{0}, ItemId{999}, ItemId{100}})
    EXPECT_EQ(BuildPage(tree.source, id, true), kErrorPage) << id;
  // Without the with-new flag the folder's news would be marked read unseen.
  EXPECT_EQ(BuildPage(tree.source, 101, false), kErrorPage);
  EXPECT_TRUE(tree.source.markReadCalls.empty());
  EXPECT_EQ(tree.s2.newFlag, 1);
  EXPECT_EQ(tree.folder.newFlag, 1);
  EXPECT_EQ(tree.s2.articles->Items().front()->content, u"<p>body</p>");
}
