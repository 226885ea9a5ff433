// A tree of the test's own behind the page source interface; ids are handed out from 101 on in
// the order items are added.
#pragma once

#include <memory>
#include <set>
#include <vector>

#include "server/page_source.h"
#include "store/mark_read.h"

class FakePageSource : public IPageSource {
 public:
  static constexpr ItemId kFirstId = 101;

  CFolderItem& AddFolder(TextView title) {
    folders_.push_back(std::make_unique<CFolderItem>());
    folders_.back()->title = title;
    Register(folders_.back().get());
    return *folders_.back();
  }

  // A site with an article list (possibly empty) unless withList is false.
  CRssSiteItem& AddSite(CFolderItem& folder, TextView title, bool withList = true) {
    auto site = std::make_unique<CRssSiteItem>();
    site->title = title;
    site->link = u"http://site.example/";
    site->src = u"http://site.example/feed.rdf";
    if (withList)
      site->articles = std::make_unique<CRssItemArray>(site->src, Text(title), site->link, Text());
    const auto& children = folder.Children();
    auto* last = children.empty() ? nullptr : children.back().get();
    auto* added = static_cast<CRssSiteItem*>(InsertChildAfter(folder, std::move(site), last));
    Register(added);
    return *added;
  }

  // Adds an article; a new one sets the site's and folder's flags as a check would.
  static CRssItem& AddArticle(CRssSiteItem& site, TextView title, bool fresh,
                              TextView content = u"<p>body</p>") {
    auto article = std::make_unique<CRssItem>();
    article->title = title;
    article->link = u"http://site.example/a";
    if (fresh) {
      article->newFlag = 1;
      article->content = content;
      article->creator = u"writer";
      SetSiteNewFlag(site, true, true);
    }
    return *site.articles->Append(std::move(article));
  }

  ItemId IdOf(const CItemBase& item) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i] == &item) return static_cast<ItemId>(kFirstId + i);
    return 0;
  }

  std::vector<ItemId> TopLevelFolderIds() const override {
    std::vector<ItemId> ids;
    for (const auto& folder : folders_) ids.push_back(IdOf(*folder));
    return ids;
  }
  std::vector<ItemId> ChildIds(ItemId folder) const override {
    std::vector<ItemId> ids;
    if (auto* item = ItemFromId(folder); item && item->kind == CItemBase::kKindFolder)
      for (const auto& child : static_cast<CFolderItem*>(item)->Children())
        ids.push_back(IdOf(*child));
    return ids;
  }
  CItemBase* ItemFromId(ItemId id) const override {
    return id >= kFirstId && id - kFirstId < items_.size() ? items_[id - kFirstId] : nullptr;
  }
  const CSettings& Settings() const override { return settings; }
  Text BodyWhitelist() const override { return whitelist; }
  bool PageFileExists(ItemId id) const override { return pageFiles.count(id) != 0; }
  void MarkRead(ItemId id) override {
    markReadCalls.push_back(id);
    if (auto* item = ItemFromId(id)) MarkItemRead(*item);
  }

  CSettings settings;
  Text whitelist;
  std::set<ItemId> pageFiles;
  std::vector<ItemId> markReadCalls;

 private:
  void Register(CItemBase* item) { items_.push_back(item); }

  std::vector<std::unique_ptr<CFolderItem>> folders_;
  std::vector<CItemBase*> items_;
};
