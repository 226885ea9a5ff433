#include "store/opml.h"

#include <gtest/gtest.h>

namespace {

XmlElement& Outline(XmlElement& parent, TextView title, TextView type = u"", TextView xmlUrl = u"") {
  XmlElement& outline = parent.AddElement(u"outline");
  outline.SetAttribute(u"text", Text(title));
  if (!type.empty()) outline.SetAttribute(u"type", Text(type));
  if (!xmlUrl.empty()) {
    outline.SetAttribute(u"xmlUrl", Text(xmlUrl));
    outline.SetAttribute(u"htmlUrl", Text(xmlUrl) + u"/home");
  }
  return outline;
}

Text Titles(const CFolderItem& folder) {
  Text titles;
  for (const auto& child : folder.Children()) titles += child->title + u";";
  return titles;
}

}  // namespace

TEST(Opml, OutlinesFitIntoTwoLevelsInDocumentOrder) {
  XmlElement root(u"opml");
  root.AddElement(u"head").AddElement(u"title", u"購読リスト");
  XmlElement& body = root.AddElement(u"body");
  Outline(body, u"loose1", u"rss", u"http://a.example/rss");
  XmlElement& tech = Outline(body, u"技術");
  Outline(tech, u"t1", u"rss", u"http://t1.example/");
  XmlElement& nested = Outline(tech, u"nested");
  Outline(nested, u"t2", u"rss", u"http://t2.example/");
  Outline(tech, u"t3", u"rss", u"http://t3.example/");
  Outline(body, u"neither");                   // no type and no children: skipped
  Outline(body, u"no address", u"rss");        // a site that is never checked
  Outline(body, u"not a feed", u"link", u"http://x.example/");

  const auto document = ReadOpml(root);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->title, u"購読リスト");
  ASSERT_EQ(document->items.size(), 3u);
  EXPECT_TRUE(document->items[1].isFolder);
  EXPECT_EQ(document->items[0].homeUrl, u"http://a.example/rss/home");

  // Into an empty tree: one new folder takes the loose sites; nested folders are flattened.
  FolderList folders;
  const OpmlImport imported = ImportOpmlItems(folders, nullptr, nullptr, document->items);
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0]->title, u"新しいフォルダ");
  EXPECT_EQ(Titles(*folders[0]), u"loose1;no address;");
  EXPECT_EQ(folders[1]->title, u"技術");
  EXPECT_EQ(Titles(*folders[1]), u"t1;t2;t3;");
  EXPECT_EQ(imported.sites.size(), 5u);
  EXPECT_EQ(imported.folders.size(), 2u);
  for (const CRssSiteItem* site : imported.sites) {
    EXPECT_EQ(site->newFlag, 1);
    EXPECT_EQ(site->compareDate, 1);
    EXPECT_EQ(site->orgSrc, site->src);
    EXPECT_EQ(site->Parent()->newFlag, 1);
  }
  EXPECT_EQ(folders[0]->Children()[1]->src, u"");

  // Into a chosen place: loose sites go after the given child, in document order.
  FolderList existing;
  existing.push_back(std::make_unique<CFolderItem>());
  CFolderItem& target = *existing[0];
  OpmlOutline a, z;
  a.title = u"A";
  z.title = u"Z";
  const CItemBase* first = InsertChildAfter(target, MakeSiteFromOutline(a), nullptr);
  InsertChildAfter(target, MakeSiteFromOutline(z), first);
  ImportOpmlItems(existing, &target, first, document->items);
  EXPECT_EQ(Titles(target), u"A;loose1;no address;Z;");
  EXPECT_EQ(existing.size(), 2u);
}

TEST(Opml, NotOpmlAndHostileNesting) {
  XmlElement noBody(u"opml");
  noBody.AddElement(u"head");
  EXPECT_FALSE(ReadOpml(noBody));
  XmlElement emptyBody(u"opml");
  emptyBody.AddElement(u"body");
  EXPECT_FALSE(ReadOpml(emptyBody));
  EXPECT_FALSE(ReadOpml(XmlElement(u"rss")));

  // Outlines nested past the limit are ignored instead of recursing without end.
  XmlElement root(u"opml");
  XmlElement* parent = &root.AddElement(u"body");
  for (int depth = 0; depth < kMaxOpmlDepth + 10; ++depth) {
    XmlElement& folder = Outline(*parent, u"f");
    Outline(folder, u"site" + DecimalText(depth), u"rss", u"http://example.com/");
    parent = &folder;
  }
  const auto document = ReadOpml(root);
  ASSERT_TRUE(document);
  FolderList folders;
  const OpmlImport imported = ImportOpmlItems(folders, nullptr, nullptr, document->items);
  EXPECT_EQ(folders.size(), 1u);
  // One site at every depth from 2 to the limit.
  EXPECT_EQ(imported.sites.size(), size_t(kMaxOpmlDepth - 1));
}

// Lists from the network are as large and as hostile as anyone makes them: a list past the cap
// is refused whole, a large one lands in order after the chosen site, and only web feeds stay
// when the caller asks for them.
TEST(Opml, LargeListsAndAddressesFromTheNetwork) {
  XmlElement tooLarge(u"opml");
  XmlElement& crowded = tooLarge.AddElement(u"body");
  XmlElement& group = Outline(crowded, u"group");
  for (size_t i = 0; i <= kMaxOpmlOutlines; ++i) Outline(i % 2 ? group : crowded, u"s", u"rss", u"http://example.com/");
  const auto refused = ReadOpml(tooLarge);
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->tooLarge);
  EXPECT_TRUE(refused->items.empty());

  XmlElement root(u"opml");
  XmlElement& body = root.AddElement(u"body");
  constexpr int kSites = 9000;
  for (int i = 0; i < kSites; ++i) Outline(body, DecimalText(i), u"rss", u"http://example.com/" + DecimalText(i));
  for (TextView local : {u"\\\\host\\share\\x.xml", u"file:///C:/x.xml", u"C:\\feeds\\x.xml", u"news://h/s/x.xml",
                         u"mailto:Z:/x.xml", u""})
    Outline(Outline(body, u"folder"), u"local", u"rss", local);
  Outline(body, u"feed", u"rss", u"feed://example.com/f");
  auto document = ReadOpml(root);
  ASSERT_TRUE(document);
  EXPECT_FALSE(document->tooLarge);
  KeepWebSitesOnly(document->items);

  FolderList folders;
  folders.push_back(std::make_unique<CFolderItem>());
  CFolderItem& target = *folders.back();
  const CItemBase* first = nullptr;
  for (TextView title : {u"a", u"b"}) {
    auto site = std::make_unique<CRssSiteItem>();
    site->title = title;
    first = InsertChildAfter(target, std::move(site), first);
  }
  const OpmlImport imported = ImportOpmlItems(folders, &target, target.Children().front().get(), document->items);
  EXPECT_EQ(imported.sites.size(), size_t(kSites + 1)) << "the local addresses are gone, their folders empty";
  ASSERT_EQ(target.Children().size(), size_t(kSites + 3));
  EXPECT_EQ(target.Children()[0]->title, u"a");
  EXPECT_EQ(target.Children()[1]->title, u"0");
  EXPECT_EQ(target.Children()[kSites]->title, DecimalText(kSites - 1));
  EXPECT_EQ(target.Children()[kSites + 1]->title, u"feed");
  EXPECT_EQ(target.Children()[kSites + 2]->title, u"b");
  EXPECT_EQ(target.newFlag, 1);
  for (const auto& folder : folders)
    for (const auto& site : folder->Children()) EXPECT_EQ(site->Parent(), folder.get());
}
