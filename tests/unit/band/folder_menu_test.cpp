#include "band/folder_menu.h"

#include <gtest/gtest.h>

namespace {

XmlElement FolderList(std::initializer_list<std::pair<const char16_t*, const char16_t*>> folders) {
  XmlElement root(u"folderlist");
  int id = 1;
  for (auto [title, fresh] : folders) {
    XmlElement& folder = root.AddElement(u"folder");
    folder.AddElement(u"url", u"/new?" + DecimalText(id++));
    folder.AddElement(u"title", title);
    if (fresh) folder.AddElement(u"new", fresh);
  }
  return root;
}

}  // namespace

TEST(FolderMenu, CountsDashesAndTheFirstFolderWithNewsAsDefault) {
  const XmlElement list = FolderList({{u"A", u"0"}, {u"B", u"5"}, {u"R&D", u"2"}, {u"D", nullptr}, {u"E", u"x"},
                                      {u"F", u"-3"}});
  const FolderMenu menu = BuildFolderMenu(list);
  std::vector<Text> labels;
  for (const FolderMenuItem& item : menu.items) labels.push_back(item.label);
  EXPECT_EQ(labels, (std::vector<Text>{u"【A】\t-", u"【B】\t5件", u"【R&&D】\t2件", u"【D】\t-", u"【E】\t-", u"【F】\t-"}));
  EXPECT_EQ(menu.defaultItem, 1u);
  EXPECT_EQ(menu.items[2].url, u"/new?3");
  EXPECT_TRUE(FolderListHasNews(list));
}

TEST(FolderMenu, NoNewsNoFoldersOrNoFolderList) {
  const XmlElement quiet = FolderList({{u"A", u"0"}});
  EXPECT_FALSE(FolderListHasNews(quiet));
  EXPECT_FALSE(BuildFolderMenu(quiet).defaultItem);
  EXPECT_TRUE(BuildFolderMenu(FolderList({})).items.empty());
  XmlElement other(u"rss");
  other.AddElement(u"folder").AddElement(u"new", u"3");
  EXPECT_TRUE(BuildFolderMenu(other).items.empty());
  EXPECT_FALSE(FolderListHasNews(other));
}

TEST(FolderMenu, OnlyPathsOfTheLocalServerAreKept) {
  XmlElement root(u"folderlist");
  for (const char16_t* url : {u"/new?7", u"@evil.example/x", u"//evil.example/x", u"http://evil.example/",
                              u"/a@evil.example", u"/new?1 x"}) {
    XmlElement& folder = root.AddElement(u"folder");
    folder.AddElement(u"url", url);
  }
  std::vector<Text> urls;
  for (const FolderMenuItem& item : BuildFolderMenu(root).items) urls.push_back(item.url);
  EXPECT_EQ(urls, (std::vector<Text>{u"/new?7", u"", u"", u"", u"", u""}));
}
