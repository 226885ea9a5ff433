// The top page, the folder list of the toolbar band and the tab-bar script.
#include <gtest/gtest.h>

#include "server/outside_links.h"
#include "server/pages.h"
#include "tests/unit/server/fake_page_source.h"

namespace {

// Folder 101 has a site with news (102) and one without (103); 104 is empty and was shown
// before; 105 holds one site without news (106).
void BuildThreeFolders(FakePageSource& source) {
  CFolderItem& mixed = source.AddFolder(u"A'B & <C>");
  FakePageSource::AddArticle(source.AddSite(mixed, u"fresh"), u"t", true);
  source.AddSite(mixed, u"old");
  source.AddFolder(u"Empty");
  source.AddSite(source.AddFolder(u"Old"), u"old2");
  source.pageFiles.insert(104);
}

size_t Count(const Text& text, TextView part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != Text::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST(FolderListXml, EveryTopFolderOnOneLineWithFiguresAndStoredPage) {
  FakePageSource source;
  BuildThreeFolders(source);
  EXPECT_EQ(BuildFolderListXml(source),
            u"<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<folderlist>\r\n"
            u"<folder><url>/new?101</url><title>A'B &amp; &lt;C&gt;</title>"
            u"<new>1</new><all>2</all></folder>\r\n"
            u"<folder><url>/new?104</url><title>Empty</title><url2>/top?104</url2>"
            u"<new>0</new><all>0</all></folder>\r\n"
            u"<folder><url>/new?105</url><title>Old</title><new>0</new><all>1</all></folder>\r\n"
            u"</folderlist>\r\n");
  EXPECT_EQ(BuildFolderListXml(FakePageSource()),
            u"<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<folderlist>\r\n</folderlist>\r\n");
}

TEST(BarScript, TabsByStateWithEscapedNamesAndNextUnread) {
  FakePageSource source;
  BuildThreeFolders(source);
  EXPECT_EQ(
      BuildBarScript(source, 104),
      u"document.write('<div id=\"bar\">');\n"
      u"document.write('<span class=\"tab\"><a href=\"./new?101\" target=\"_top\" "
      u"title=\"A\\'B &amp; &lt;C&gt; (1/2)\" accesskey=\"1\">A\\'B &amp; &lt;C&gt;</a></span>');\n"
      u"document.write('<span class=\"tab_active\"><a href=\"./new?104\" target=\"_top\" "
      u"title=\"Empty (0/0)\" accesskey=\"2\">Empty</a></span>');\n"
      u"document.write('<span class=\"tab2\"><a href=\"./new?105\" target=\"_top\" "
      u"title=\"Old (0/1)\" accesskey=\"3\">Old</a></span>');\n"
      u"document.write('<div class=\"tab_nextBox\">');\n"
      u"document.write('<span class=\"tab_next\"><a href=\"./\" target=\"_top\" "
      u"accesskey=\"t\">トップ</a></span>');\n"
      u"document.write('<span class=\"tab_next\"><a href=\"./new\" target=\"_top\" "
      u"accesskey=\"n\">次の未読</a></span>');\n"
      u"document.write('</div>');\ndocument.write('</div>');\n"
      u"document.body.style.marginTop = document.getElementById('bar').scrollHeight + 6 + "
      u"'px';\n");
}

TEST(BarScript, OnlyTheFirstTenTabsHaveAccessKeysAndNoNewsHasNoNextUnread) {
  FakePageSource source;
  for (int i = 0; i < 12; ++i) source.AddFolder(u"f" + DecimalText(i));
  const Text script = BuildBarScript(source, 0);
  EXPECT_EQ(Count(script, u"accesskey=\""), 11u);  // ten tabs and "トップ"
  EXPECT_NE(script.find(u"title=\"f8 (0/0)\" accesskey=\"9\">"), Text::npos);
  EXPECT_NE(script.find(u"title=\"f9 (0/0)\" accesskey=\"0\">"), Text::npos);
  EXPECT_NE(script.find(u"title=\"f10 (0/0)\">f10</a>"), Text::npos);
  EXPECT_NE(script.find(u"title=\"f11 (0/0)\">f11</a>"), Text::npos);
  EXPECT_EQ(Count(script, u"class=\"tab2\""), 12u);
  EXPECT_EQ(script.find(u"次の未読"), Text::npos);
}

TEST(TopPage, HeadSearchFormAndFolderLines) {
  FakePageSource source;
  BuildThreeFolders(source);
  const Text page = BuildTopPage(source);
  EXPECT_TRUE(StartsWith(page,
                         u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\">\n"
                         u"<html>\n<head>\n"));
  EXPECT_NE(page.find(u"<title>pelun</title>\n<link rel=\"stylesheet\" href=\"./common.css\" "
                      u"type=\"text/css\" />\n<link rel=\"stylesheet\" href=\"./custom.css\" "
                      u"type=\"text/css\" />\n</head>\n<body id=\"folder_body\">\n"),
            Text::npos);
  EXPECT_NE(page.find(u"action=\"" + Text(kWebSearchUrl) + u"\""), Text::npos);
  EXPECT_NE(page.find(u"<input type=\"text\" size=\"41\" maxlength=\"100\" name=\"q\" id=\"q\" />\n"
                      u"<input type=\"submit\" value=\"Google検索\" />\n"),
            Text::npos);
  EXPECT_NE(page.find(u"<a href=\"" + Text(kDownloadPageUrl) + u"\">ダウンロードページ</a>"),
            Text::npos);
  EXPECT_NE(page.find(u"<ul class=\"folder\">\n"
                      u"<li><a href=\"./new?101\">A'B &amp; &lt;C&gt;</a><span>（1）</span>\n</li>"
                      u"<li><a href=\"./new?104\">Empty</a><span>（0）</span>\n<div "
                      u"class=\"folder_recent\">- <a href=\"./top?104\">最近の表示</a></div></li>"
                      u"<li><a href=\"./new?105\">Old</a><span>（0）</span>\n</li></ul>\n"
                      u"<br clear=\"all\" />\n</body>\n</html>\n"),
            Text::npos);
  EXPECT_EQ(Count(page, u"最近の表示"), 1u);
}
