// Every corpus document through the whole reading path: byte preparation, the platform's real
// DOM and the copy into the plain tree.
#include <gtest/gtest.h>

#include "tests/unit/test_data.h"
#include "tests/unit/util/xml_corpus.h"
#include "util/code_page.h"
#include "util/xml_dom_win.h"

TEST(XmlDocument, CorpusLoadsWithItsTextOrIsRefused) {
  for (const CorpusFile& file : EncodingCorpus()) {
    SCOPED_TRACE(file.name);
    const std::string bytes = ReadTestData("feeds/encodings/" + std::string(file.name));
    ASSERT_FALSE(bytes.empty());
    XmlLoadError error;
    const auto root = LoadXmlDocument(bytes, &error);
    EXPECT_EQ(root.has_value(), file.loads);
    const Text text = root ? root->Markup() : error.reason;
    const Text inner = root ? root->InnerText() : Text();
    for (const std::string_view expected : file.texts)
      EXPECT_NE(inner.find(FromUtf8(expected)), Text::npos) << expected;
    // Nothing of the file the XXE document points at (the prefix's win.ini: "[mail]",
    // "MAPI=1") shows anywhere.
    EXPECT_EQ(ToLowerAscii(text).find(u"mapi"), Text::npos);
  }
}

TEST(XmlDocument, PrefixesKeepTheirQualifiedNamesWhereverDeclared) {
  const auto root = LoadXmlDocument(ReadTestData("feeds/encodings/unbound-prefix.xml"));
  ASSERT_TRUE(root);
  const XmlElement* channel = root->Child(u"channel");
  ASSERT_NE(channel, nullptr);
  const XmlElement* item = channel->Child(u"item");
  ASSERT_NE(item, nullptr);
  // Without the declarations Wine's DOM drops the prefixes ("date") and Windows' refuses the
  // document.
  EXPECT_EQ(item->ChildText(u"dc:date"), u"2024-01-02T03:04:05+09:00");
  EXPECT_EQ(item->ChildText(u"dc:creator"), u"山田太郎");
  EXPECT_EQ(item->ChildText(u"content:encoded"), u"<p>本文</p>");
  EXPECT_EQ(item->ChildText(u"my:extra"), u"extra");

  // Declared on one item only: the next item's names read the same.
  const auto scoped = LoadXmlDocument(
      "<rss version=\"2.0\"><channel><item xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:date>1</dc:date>"
      "</item><item><dc:date>2</dc:date><dc:creator>B</dc:creator></item></channel></rss>");
  ASSERT_TRUE(scoped);
  const auto items = scoped->Child(u"channel")->Children(u"item");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]->ChildText(u"dc:date"), u"1");
  EXPECT_EQ(items[1]->ChildText(u"dc:date"), u"2");
  EXPECT_EQ(items[1]->ChildText(u"dc:creator"), u"B");
}

TEST(XmlDocument, TooDeepDocumentsAreRefused) {
  auto nested = [](int depth) {
    std::string document;
    for (int i = 0; i < depth; ++i) document += "<a>";
    for (int i = 0; i < depth; ++i) document += "</a>";
    return document;
  };
  EXPECT_TRUE(LoadXmlDocument(nested(kMaxXmlDepth)));
  EXPECT_FALSE(LoadXmlDocument(nested(kMaxXmlDepth + 1)));
  EXPECT_FALSE(LoadXmlDocument(nested(100000)));
}
