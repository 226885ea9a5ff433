#include "store/folder_sync.h"

#include <gtest/gtest.h>

namespace {

OpmlOutline Site(TextView url) {
  OpmlOutline site;
  site.title = Text(u"t:") + Text(url);
  site.feedUrl = url;
  return site;
}

OpmlOutline Folder(TextView title, std::vector<OpmlOutline> children) {
  OpmlOutline folder;
  folder.isFolder = true;
  folder.title = title;
  folder.children = std::move(children);
  return folder;
}

// Children given as "src" or "src<orgsrc".
void Fill(CFolderItem& folder, const std::vector<Text>& children) {
  const CItemBase* last = nullptr;
  for (const auto& child : children) {
    auto site = std::make_unique<CRssSiteItem>();
    const size_t split = child.find(u'<');
    site->src = child.substr(0, split);
    site->orgSrc = split == Text::npos ? site->src : child.substr(split + 1);
    site->newFlag = 1;
    last = InsertChildAfter(folder, std::move(site), last);
  }
}

std::vector<Text> Srcs(const CFolderItem& folder) {
  std::vector<Text> srcs;
  for (const auto& child : folder.Children()) srcs.push_back(child->src);
  return srcs;
}

}  // namespace

TEST(FolderSync, FolderFollowsTheListInDocumentOrder) {
  struct Case {
    const char* name;
    std::vector<Text> children;
    std::vector<OpmlOutline> list;
    std::vector<Text> removed;
    std::vector<Text> after;
    std::vector<Text> added;
  };
  const std::vector<Case> cases = {
      {"first registration flattens nested folders",
       {},
       {Site(u"a"), Folder(u"f", {Site(u"b"), Folder(u"g", {Site(u"c")})}), Site(u"d")},
       {},
       {u"a", u"b", u"c", u"d"},
       {u"a", u"b", u"c", u"d"}},
      {"dropped feed goes, new feeds come at their place",
       {u"a", u"b", u"c"},
       {Site(u"x"), Site(u"a"), Site(u"y"), Site(u"c")},
       {u"b"},
       {u"x", u"a", u"y", u"c"},
       {u"x", u"y"}},
      {"a redirected site is still its address's counterpart",
       {u"http://new/rss<http://old/rss", u"k"},
       {Site(u"http://old/rss"), Site(u"k")},
       {},
       {u"http://new/rss", u"k"},
       {}},
      {"a feed listed twice is added once",
       {},
       {Site(u"a"), Site(u"a")},
       {},
       {u"a"},
       {u"a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CFolderItem folder;
    Fill(folder, c.children);
    const auto sites = FlattenOpmlSites(c.list);
    std::vector<Text> removed;
    for (const CItemBase* gone : SitesWithoutCounterpart(folder, sites)) {
      removed.push_back(gone->src);
      EXPECT_TRUE(RemoveChild(folder, gone));
    }
    EXPECT_EQ(removed, c.removed);
    std::vector<Text> added;
    for (const CRssSiteItem* site : AddMissingSites(folder, sites)) {
      added.push_back(site->src);
      EXPECT_EQ(site->newFlag, 0);
      EXPECT_EQ(site->orgSrc, site->src);
      EXPECT_EQ(site->Parent(), &folder);
    }
    EXPECT_EQ(added, c.added);
    EXPECT_EQ(Srcs(folder), c.after);
    // A second run over the same list changes nothing.
    EXPECT_TRUE(SitesWithoutCounterpart(folder, sites).empty());
    EXPECT_TRUE(AddMissingSites(folder, sites).empty());
  }
}
