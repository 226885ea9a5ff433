#include "util/text_escape.h"

#include <gtest/gtest.h>

TEST(EscapeHtml, EscapesMarkupButNotQuotes) {
  EXPECT_EQ(EscapeHtml(u"a<b>&c \"q\" 'a'"), u"a&lt;b&gt;&amp;c \"q\" 'a'");
  // An entity in the input is text to show, so its ampersand is escaped again.
  EXPECT_EQ(EscapeHtml(u"&amp;"), u"&amp;amp;");
  EXPECT_EQ(EscapeHtml(u"日本語"), u"日本語");
  EXPECT_EQ(EscapeHtml(u""), u"");
}

TEST(EscapeForScript, EscapesEachCharacterExactlyOnce) {
  EXPECT_EQ(EscapeForScript(u"<b>&"), u"&lt;b&gt;&amp;");
  // The backslash of an escaped apostrophe is not doubled, and the ampersand of "&quot;" is not
  // escaped: the order of the steps matters.
  EXPECT_EQ(EscapeForScript(u"It's"), u"It\\'s");
  EXPECT_EQ(EscapeForScript(u"\"x\""), u"&quot;x&quot;");
  EXPECT_EQ(EscapeForScript(u"C:\\dir\\"), u"C:\\\\dir\\\\");
  EXPECT_EQ(EscapeForScript(u"\\'"), u"\\\\\\'");
  // A folder name from a list must not end the string literal it stands in.
  EXPECT_EQ(EscapeForScript(u"a\r\nb\u2028c\u2029"), u"a\\r\\nb\\u2028c\\u2029");
}

TEST(SafeFileName, ReplacesTheNineForbiddenCharactersByFullWidthForms) {
  EXPECT_EQ(SafeFileName(u"\\\"/:*?<>|"), u"\uFFE5\u201D\uFF0F\uFF1A\uFF0A\uFF1F\uFF1C\uFF1E\uFF5C");
  EXPECT_EQ(SafeFileName(u"ニュース/IT: 速報?.html"), u"ニュース／IT： 速報？.html");
  EXPECT_EQ(SafeFileName(u"plain name.html"), u"plain name.html");
}
