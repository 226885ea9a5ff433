// What a feed controls in a site block: names, titles, links and article bodies.
#include "server/site_block.h"

#include <gtest/gtest.h>

#include "tests/unit/server/fake_page_source.h"

namespace {

bool Has(const Text& text, TextView part) { return text.find(part) != Text::npos; }

}  // namespace

TEST(SiteBlock, HostileNamesTitlesAndLinksAreDefused) {
  FakePageSource source;
  CRssSiteItem& site = source.AddSite(source.AddFolder(u"F"), u"<script>x()</script> & co");
  site.link = u"http://h/?a=\"b\"&c=<d>";
  site.src = u"javascript:alert(1)";
  CRssItem& scripted = FakePageSource::AddArticle(site, u"<script>alert(1)</script><b>t</b>", true);
  scripted.link = u" javascript:alert(2)";
  scripted.enclosure = u"vbscript:x";
  scripted.creator = u"<i>me</i>";
  scripted.dateText = u"someday <soon>";
  CRssItem& untitled = FakePageSource::AddArticle(site, u"<img src=x>", true);
  untitled.link = u"../rel.html?x=1&y=2";  // would resolve against the local server
  untitled.enclosure = u"ftp://h/file.mp3";

  const Text block = BuildSiteBlock(site, true, 102, 0, 1, u"", false);
  EXPECT_TRUE(Has(block,
                  u"<a class=\"sitestr\" href=\"http://h/?a=&quot;b&quot;&amp;c=&lt;d&gt;\">"
                  u"&lt;script&gt;x()&lt;/script&gt; &amp; co</a>"));
  EXPECT_TRUE(Has(block, u"<a href=\"\" class=\"siterss\">RSS</a>"));
  EXPECT_TRUE(Has(block,
                  u"<a href=\"\" class=\"contenttitle\">alert(1)<b>t</b></a>"
                  u"<a href=\"\" class=\"contentfile\">添付</a>"
                  u"<span class=\"contentdate\">someday &lt;soon&gt;</span>"
                  u"<span class=\"contentcreator\">&lt;i&gt;me&lt;/i&gt;</span>"));
  EXPECT_TRUE(Has(block,
                  u"<a href=\"\" class=\"contenttitle\">NO TITLE</a>"
                  u"<a href=\"ftp://h/file.mp3\" class=\"contentfile\">添付</a>"));
  EXPECT_FALSE(Has(block, u"<script>alert"));
  EXPECT_FALSE(Has(block, u"javascript:alert"));
  // The page's own script links stay.
  EXPECT_TRUE(Has(block, u"syncWrite('102');"));
}

TEST(SiteBlock, BodyWhitelistStarListOrSafeDefault) {
  FakePageSource source;
  CRssSiteItem& site = source.AddSite(source.AddFolder(u"F"), u"S");
  CRssItem& article = FakePageSource::AddArticle(
      site, u"t", true,
      u"<b>bold</b><script>x()</script><img src=\"p.png\" onerror=\"y()\">"
      u"<iframe src=\"http://evil/\"></iframe><table><tr><td>c</td></tr></table>"
      u"<a href=\"javascript:z()\" style=\"s\">l</a>");
  article.link = u"http://h/a/";
  auto body = [&](TextView whitelist) {
    const Text block = BuildSiteBlock(site, true, 102, 0, 1, whitelist, false);
    constexpr TextView kOpen = u"<div class=\"content\" id=\"i0_0\">\n";
    const size_t begin = block.find(kOpen);
    const size_t end = block.find(u"</div>\n<hr class=\"contentend\"");
    if (begin == Text::npos || end == Text::npos) return Text();
    return block.substr(begin + kOpen.size(), end - begin - kOpen.size());
  };
  EXPECT_EQ(body(u"*"),
            u"<b>bold</b><script>x()</script><img src=\"http://h/a/p.png\" onerror=\"y()\">"
            u"<iframe src=\"http://evil/\"></iframe><table><tr><td>c</td></tr></table>"
            u"<a href=\"\" style=\"s\">l</a>");
  EXPECT_EQ(body(u"b,i"), u"<b>bold</b>x()cl");
  // The safe default keeps the formatting, the image and the table, drops the rest.
  EXPECT_EQ(body(u""),
            u"<b>bold</b>x()<img src=\"http://h/a/p.png\" ><table><tr><td>c</td></tr></table>"
            u"<a href=\"\" >l</a>");
}

TEST(SiteBlock, SiteWithoutArticleListIsATitleLineAndDateFallsBackToLastModified) {
  FakePageSource source;
  CFolderItem& folder = source.AddFolder(u"F");
  CRssSiteItem& bare = source.AddSite(folder, u"Bare", false);
  bare.lastModified = u"yesterday";
  EXPECT_EQ(BuildSiteBlock(bare, true, 102, 2, 3, u"*", false),
            u"<div id=\"l2\" name=\"l2\" class=\"sitetitle\"><a class=\"sitestr\" "
            u"href=\"http://site.example/\">Bare</a><a href=\"http://site.example/feed.rdf\" "
            u"class=\"siterss\">RSS</a><script type='text/javascript'><!--\nsyncWrite('102');\n"
            u"// --></script><br clear=\"all\" /></div>\n");
  CRssSiteItem& dated = source.AddSite(folder, u"Dated");
  dated.lastModified = u"yesterday";
  EXPECT_TRUE(Has(BuildSiteBlock(dated, false, 103, 0, 1, u"*", true),
                  u"<span class=\"sitedate\">yesterday</span><br clear=\"all\" /></div>\n"));
}
