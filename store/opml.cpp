#include "store/opml.h"

#include <utility>

namespace {

Text OutlineTitle(const XmlElement& outline) {
  if (auto title = outline.Attribute(u"title")) return std::move(*title);
  return outline.AttributeOr(u"text");
}

std::vector<OpmlOutline> ReadOutlines(const XmlElement& parent, int depth) {
  std::vector<OpmlOutline> items;
  if (depth > kMaxOpmlDepth) return items;
  for (const XmlElement* element : parent.Children(u"outline")) {
    OpmlOutline outline;
    outline.title = OutlineTitle(*element);
    if (element->Attribute(u"type") == Text(u"rss")) {
      outline.feedUrl = element->AttributeOr(u"xmlUrl");
      outline.homeUrl = element->AttributeOr(u"htmlUrl");
    } else if (element->Child(u"outline")) {
      outline.isFolder = true;
      outline.children = ReadOutlines(*element, depth + 1);
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

CRssSiteItem* InsertSite(CFolderItem& folder, const OpmlOutline& outline, const CItemBase*& after,
                         OpmlImport& result) {
  auto* site = static_cast<CRssSiteItem*>(InsertChildAfter(folder, MakeSiteFromOutline(outline), after));
  SetSiteNewFlag(*site, true, true);
  result.sites.push_back(site);
  after = site;
  return site;
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
  document.items = ReadOutlines(*body, 1);
  return document;
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
  for (const auto& item : items) {
    if (item.isFolder) {
      CFolderItem* folder = AppendFolder(folders, item.title, result);
      const CItemBase* last = nullptr;
      for (const OpmlOutline* site : FlattenOpmlSites(item.children)) InsertSite(*folder, *site, last, result);
    } else {
      // One new folder takes every loose site when there is nowhere to put them.
      if (!target) target = AppendFolder(folders, kNewFolderTitle, result);
      InsertSite(*target, item, after, result);
    }
  }
  return result;
}
