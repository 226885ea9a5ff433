// OPML subscription lists: reading them, and fitting their outlines into the two-level tree.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "store/data_file.h"
#include "store/item_tree.h"
#include "util/xml_element.h"

// Outlines nested deeper than this are ignored: no real list needs it, and a hostile one must
// not exhaust the stack.
inline constexpr int kMaxOpmlDepth = 64;
// A list with more outlines than this is refused as a whole: taking part of it would drop sites
// silently, and a synchronised folder would lose them.
inline constexpr std::size_t kMaxOpmlOutlines = 10000;

inline constexpr char16_t kDefaultOpmlFileName[] = u"default.opml";
inline constexpr char16_t kNewFolderTitle[] = u"新しいフォルダ";

struct OpmlOutline {
  bool isFolder = false;
  Text title;    // "title", or "text" without one
  Text feedUrl;  // "xmlUrl" of a site
  Text homeUrl;  // "htmlUrl" of a site
  std::vector<OpmlOutline> children;  // a folder's outlines
};

struct OpmlDocument {
  Text title;
  std::vector<OpmlOutline> items;
  bool tooLarge = false;  // more than kMaxOpmlOutlines outlines: items is empty
};

// Nullopt when the document is not OPML (no "opml", no "body" or no outline in it).
std::optional<OpmlDocument> ReadOpml(const XmlElement& root);

// A list from the network may only name web feeds: sites with any other address (a local path,
// a share, file:) are dropped, at any depth.
void KeepWebSitesOnly(std::vector<OpmlOutline>& items);

// The sites of `items` and of every folder among them, at any depth, in document order.
std::vector<const OpmlOutline*> FlattenOpmlSites(const std::vector<OpmlOutline>& items);

// A site as an OPML list registers it.
std::unique_ptr<CRssSiteItem> MakeSiteFromOutline(const OpmlOutline& outline);

struct OpmlImport {
  std::vector<CRssSiteItem*> sites;   // every inserted site, in document order
  std::vector<CFolderItem*> folders;  // every new top-level folder, in document order
};

// A plain import: sites standing in the body go into `target` after `after` (first when null),
// or, with no target, into one new folder at the end; each OPML folder becomes a new top-level
// folder at the end holding the sites found anywhere inside it. Inserted sites are marked new.
OpmlImport ImportOpmlItems(FolderList& folders, CFolderItem* target, const CItemBase* after,
                           const std::vector<OpmlOutline>& items);
