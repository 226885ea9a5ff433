#include "store/opml.h"

#include <utility>

#include "util/url.h"

namespace {

Text OutlineTitle(const XmlElement& outline) {
  if (auto title = outline.Attribute(u"title")) return std::move(*title);
  return outline.AttributeOr(u"text");
}

// `budget` counts down the outlines still allowed; below zero the list is too large.
std::vector<OpmlOutline> ReadOutlines(const XmlElement& parent, int depth, std::ptrdiff_t& budget) {
  std::vector<OpmlOutline> items;
  if (depth > kMaxOpmlDepth) return items;
  for (const XmlElement* element : parent.Children(u"outline")) {
    if (--budget < 0) return {};
    OpmlOutline outline;
    outline.title = OutlineTitle(*element);
    if (element->Attribute(u"type") == Text(u"rss")) {
      outline.feedUrl = element->AttributeOr(u"xmlUrl");
      outline.homeUrl = element->AttributeOr(u"htmlUrl");
    } else if (element->Child(u"outline")) {
      outline.isFolder = true;
      outline.children = ReadOutlines(*element, depth + 1, budget);
    } else {
      continue;  // neither a feed nor a folder
    }
    items.push_back(std::move(outline));
  }
  return items;
}

void CollectSites(const std::vector<OpmlOutline>& items, std::vector<const OpmlOutline*>& sites) {
  for (const auto& item : items) {
    if (item.isFolder)
      CollectSites(item.children, sites);
    else
      sites.push_back(&item);
  }
}


CFolderItem* AppendFolder(FolderList& folders, TextView title, OpmlImport& result) {
  auto folder = std::make_unique<CFolderItem>();
  folder->title = title;
  result.folders.push_back(folder.get());
  folders.push_back(std::move(folder));
  return folders.back().get();
}

}  // namespace

std::optional<OpmlDocument> ReadOpml(const XmlElement& root) {
  if (root.name != u"opml") return std::nullopt;
  const XmlElement* body = root.Child(u"body");
  if (!body || !body->Child(u"outline")) return std::nullopt;
  OpmlDocument document;
  if (const XmlElement* head = root.Child(u"head")) document.title = head->ChildText(u"title");
  std::ptrdiff_t budget = static_cast<std::ptrdiff_t>(kMaxOpmlOutlines);
  document.items = ReadOutlines(*body, 1, budget);
  document.tooLarge = budget < 0;
  if (document.tooLarge) document.items.clear();
  return document;
}

void KeepWebSitesOnly(std::vector<OpmlOutline>& items) {
  std::erase_if(items, [](const OpmlOutline& item) { return !item.isFolder && !IsWebAddress(item.feedUrl); });
  for (auto& item : items)
    if (item.isFolder) KeepWebSitesOnly(item.children);
}

std::vector<const OpmlOutline*> FlattenOpmlSites(const std::vector<OpmlOutline>& items) {
  std::vector<const OpmlOutline*> sites;
  CollectSites(items, sites);
  return sites;
}

std::unique_ptr<CRssSiteItem> MakeSiteFromOutline(const OpmlOutline& outline) {
  auto site = std::make_unique<CRssSiteItem>();
  site->title = outline.title;
  site->link = outline.homeUrl;
  site->src = outline.feedUrl;
  site->orgSrc = outline.feedUrl;
  site->compareDate = 1;
  site->newFlag = 0;
  return site;
}

OpmlImport ImportOpmlItems(FolderList& folders, CFolderItem* target, const CItemBase* after,
                           const std::vector<OpmlOutline>& items) {
  OpmlImport result;
  // Sites for the target are inserted together at the end: a list of thousands must not shift
  // the folder once per site.
  std::vector<ChildInsertion> intoTarget;
  auto makeSite = [&result](const OpmlOutline& outline) {
    auto site = MakeSiteFromOutline(outline);
    result.sites.push_back(site.get());
    return site;
  };
  for (const auto& item : items) {
    if (item.isFolder) {
      CFolderItem* folder = AppendFolder(folders, item.title, result);
      const CItemBase* last = nullptr;
      for (const OpmlOutline* site : FlattenOpmlSites(item.children)) last = InsertChildAfter(*folder, makeSite(*site), last);
    } else {
      // One new folder takes every loose site when there is nowhere to put them.
      if (!target) target = AppendFolder(folders, kNewFolderTitle, result);
      auto site = makeSite(item);
      const CItemBase* placed = site.get();
      intoTarget.push_back({after, std::move(site)});
      after = placed;
    }
  }
  if (target) (void)InsertChildrenAfter(*target, std::move(intoTarget));
  for (CRssSiteItem* site : result.sites) SetSiteNewFlag(*site, true, true);
  return result;
}
