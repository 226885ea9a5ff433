#include "store/opml_export.h"

#include <gtest/gtest.h>

#include "store/opml.h"
#include "util/code_page.h"

namespace {

CRssSiteItem* AddSite(CFolderItem& folder, TextView title, TextView src) {
  auto site = std::make_unique<CRssSiteItem>();
  site->title = title;
  site->src = src;
  site->link = Text(src) + u"/home";
  return static_cast<CRssSiteItem*>(InsertChildAfter(folder, std::move(site),
                                                     folder.Children().empty() ? nullptr : folder.Children().back().get()));
}

FolderList ExportTree() {
  FolderList folders;
  auto news = std::make_unique<CFolderItem>();
  news->title = u"ニュース & 話題";
  AddSite(*news, u"日本語の\"サイト\"", u"http://a.example/rss?x=1&y=2");
  AddSite(*news, u"絵文字😀", u"http://b.example/atom");
  folders.push_back(std::move(news));
  auto empty = std::make_unique<CFolderItem>();
  empty->title = u"空";
  folders.push_back(std::move(empty));
  auto tech = std::make_unique<CFolderItem>();
  tech->title = u"tech";
  AddSite(*tech, u"c", u"https://c.example/feed");
  folders.push_back(std::move(tech));
  return folders;
}

// What the DOM makes of the document: a declaration and the markup, in UTF-8.
std::string Serialised(const XmlDocumentData& document) {
  return ToUtf8(u"<?xml " + document.declaration + u"?>\r\n" + document.root.Markup() + u"\r\n");
}

}  // namespace

TEST(OpmlExport, DocumentReadsBackAsTheSameFoldersNamesAndUrls) {
  const FolderList folders = ExportTree();
  struct Case {
    const CFolderItem* folder;
    std::vector<Text> expectedFolders;  // each with its sites as "title|src|link"
  };
  const std::vector<Case> cases = {
      {nullptr, {u"ニュース & 話題", u"空", u"tech"}},
      {folders[2].get(), {u"tech"}},
  };
  for (const auto& c : cases) {
    const XmlDocumentData document = BuildOpmlExport(folders, c.folder, OpmlEncoding::kUtf8);
    EXPECT_EQ(document.declaration, u"version='1.0' encoding='utf-8'");
    EXPECT_EQ(document.root.AttributeOr(u"version"), u"1.0");
    const auto read = ReadOpml(document.root);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->title, u"pelun export");
    // An empty folder has no child outlines, so it is no folder to a reader: it is skipped.
    std::vector<Text> readFolders;
    for (const auto& item : read->items) {
      ASSERT_TRUE(item.isFolder);
      readFolders.push_back(item.title);
      const CFolderItem* original = nullptr;
      for (const auto& f : folders)
        if (f->title == item.title) original = f.get();
      ASSERT_TRUE(original);
      ASSERT_EQ(item.children.size(), original->Children().size());
      for (size_t i = 0; i < item.children.size(); ++i) {
        EXPECT_EQ(item.children[i].title, original->Children()[i]->title);
        EXPECT_EQ(item.children[i].feedUrl, original->Children()[i]->src);
        EXPECT_EQ(item.children[i].homeUrl, original->Children()[i]->link);
      }
    }
    std::vector<Text> expected = c.expectedFolders;
    if (!c.folder) expected = {u"ニュース & 話題", u"tech"};
    EXPECT_EQ(readFolders, expected);
  }
}

TEST(OpmlExport, SiteOutlineCarriesItsAttributesInOrder) {
  const FolderList folders = ExportTree();
  const XmlDocumentData document = BuildOpmlExport(folders, folders[2].get(), OpmlEncoding::kShiftJis);
  EXPECT_EQ(document.declaration, u"version='1.0' encoding='Shift-JIS'");
  const XmlElement* folder = document.root.Child(u"body")->Child(u"outline");
  ASSERT_TRUE(folder);
  ASSERT_EQ(folder->attributes.size(), 1u);
  const XmlElement* site = folder->Child(u"outline");
  ASSERT_TRUE(site);
  std::vector<Text> names;
  for (const auto& attribute : site->attributes) names.push_back(attribute.name + u"=" + attribute.value);
  EXPECT_EQ(names, (std::vector<Text>{u"title=c", u"text=c", u"htmlUrl=https://c.example/feed/home",
                                      u"xmlUrl=https://c.example/feed", u"type=rss"}));
}

TEST(OpmlExport, EncodingsGiveTheirBytesAndDeclaration) {
  const FolderList folders = ExportTree();
  const std::string utf8 = Serialised(BuildOpmlExport(folders, nullptr, OpmlEncoding::kUtf8));
  struct Case {
    OpmlEncoding encoding;
    std::string declaration;
    std::string japanese;  // "話題" in the encoding
    std::string emoji;     // U+1F600
  };
  const std::vector<Case> cases = {
      {OpmlEncoding::kUtf8, "<?xml version='1.0' encoding='utf-8'?>", "\xE8\xA9\xB1\xE9\xA1\x8C", "\xF0\x9F\x98\x80"},
      {OpmlEncoding::kShiftJis, "<?xml version='1.0' encoding='Shift-JIS'?>", "\x98\x62\x91\xE8", "&#128512;"},
  };
  for (const auto& c : cases) {
    // A byte-order mark and another declaration from the serialiser are replaced.
    const auto bytes = EncodeOpmlExport("\xEF\xBB\xBF" + utf8, c.encoding);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->rfind(c.declaration, 0), 0u) << *bytes;
    EXPECT_EQ(bytes->find("<?xml", 1), std::string::npos);
    EXPECT_NE(bytes->find(c.japanese), std::string::npos);
    EXPECT_NE(bytes->find(c.emoji), std::string::npos);
  }
  // The Shift-JIS file reads back to the same text apart from the declaration and the reference.
  const auto shiftJis = EncodeOpmlExport(utf8, OpmlEncoding::kShiftJis);
  ASSERT_TRUE(shiftJis);
  const auto decoded = FromCodePage(*shiftJis, kCodePageShiftJis);
  ASSERT_TRUE(decoded);
  EXPECT_NE(decoded->find(u"title=\"日本語の&quot;サイト&quot;\""), Text::npos) << ToUtf8(*decoded);
  EXPECT_FALSE(EncodeOpmlExport("<?xml version='1.0'?><opml>\xFF</opml>", OpmlEncoding::kShiftJis));
}
