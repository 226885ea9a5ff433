#include "store/item_tree.h"

#include <algorithm>
#include <iterator>
#include <list>
#include <unordered_map>
#include <unordered_set>
#include <utility>

CItemBase::CItemBase(int32_t kind) : kind(kind) {}
CItemBase::~CItemBase() = default;

const Text& CItemBase::GetTitle() const { return title; }
void CItemBase::SetTitle(TextView text) { title = text; }
bool CItemBase::LoadFromXml(const XmlElement&, const ItemReadOptions&) { return false; }
std::optional<XmlElement> CItemBase::SaveToXml() const { return std::nullopt; }
int32_t CItemBase::GetNewFlag() const { return newFlag; }
// Only the value 1 excludes an item: it is the only value the program itself writes.
bool CItemBase::IsCheckable() const { return noCheck != 1 && !src.empty(); }
bool CItemBase::HasError() const { return errorCode != 0; }
Text CItemBase::GetErrorText() const { return ::GetErrorText(errorCode); }
const Text& CItemBase::GetLink() const { return link; }
const Text& CItemBase::GetSrc() const { return src; }
const Text& CItemBase::GetOrgSrc() const { return orgSrc; }

CFolderItem::CFolderItem() : CItemBase(kKindFolder) {}
CFolderItem::~CFolderItem() = default;

CRssSiteItem::CRssSiteItem() : CItemBase(kKindSite) {}
CRssSiteItem::~CRssSiteItem() = default;

int SourceKind(const CItemBase& item) {
  if (StartsWith(item.src, u"pelunpub:")) return 1;
  if (StartsWith(item.src, u"http:") || StartsWith(item.src, u"https:")) return 2;
  return 0;
}

Text UniqueKey(const CItemBase& site) { return site.user + u'\t' + site.pass + u'\t' + site.src; }

CFolderItem::ChildCount CountChildren(const CFolderItem& folder) {
  CFolderItem::ChildCount count;
  for (const auto& child : folder.Children()) {
    ++count.all;
    if (child->newFlag != 0) ++count.fresh;
  }
  return count;
}

namespace {

CFolderItem::ChildList::const_iterator FindChild(const CFolderItem::ChildList& children,
                                                 const CItemBase* item) {
  return std::find_if(children.begin(), children.end(),
                      [item](const auto& child) { return child.get() == item; });
}

// Whether a sorts strictly before b; equal items never do, which keeps them in order.
bool SortsBefore(const CItemBase& a, const CItemBase& b, bool byUpdateTime, bool normalOrder) {
  if (byUpdateTime) {
    if (a.kind != CItemBase::kKindSite || b.kind != CItemBase::kKindSite) return false;
    return normalOrder ? a.updateTime > b.updateTime : a.updateTime < b.updateTime;
  }
  return normalOrder ? a.title < b.title : b.title < a.title;
}

}  // namespace

CItemBase* InsertChildAfter(CFolderItem& folder, std::unique_ptr<CItemBase> item,
                            const CItemBase* after) {
  if (!item) return nullptr;
  auto& children = folder.children_;
  auto at = children.begin();
  // Appending is what loading and importing do: no search for it.
  if (after && !children.empty() && children.back().get() == after) {
    at = children.end();
  } else if (after) {
    auto found = FindChild(children, after);
    if (found != children.end()) at = children.begin() + (found - children.cbegin()) + 1;
  }
  item->parent_ = &folder;
  return children.insert(at, std::move(item))->get();
}

std::vector<CItemBase*> InsertChildrenAfter(CFolderItem& folder, std::vector<ChildInsertion> insertions) {
  // A linked list with an index by item makes each insertion constant time; the folder's
  // vector is rebuilt once at the end.
  std::list<std::unique_ptr<CItemBase>> order;
  for (auto& child : folder.children_) order.push_back(std::move(child));
  std::unordered_map<const CItemBase*, decltype(order)::iterator> places;
  places.reserve(order.size() + insertions.size());
  for (auto at = order.begin(); at != order.end(); ++at) places.emplace(at->get(), at);
  std::vector<CItemBase*> inserted;
  inserted.reserve(insertions.size());
  for (ChildInsertion& insertion : insertions) {
    if (!insertion.item) continue;
    const auto anchor = insertion.after ? places.find(insertion.after) : places.end();
    const auto at = anchor == places.end() ? order.begin() : std::next(anchor->second);
    CItemBase* item = insertion.item.get();
    item->parent_ = &folder;
    inserted.push_back(item);
    places[item] = order.insert(at, std::move(insertion.item));
  }
  folder.children_.clear();
  folder.children_.reserve(order.size());
  for (auto& child : order) folder.children_.push_back(std::move(child));
  return inserted;
}

void EraseChildren(CFolderItem& folder, const std::vector<const CItemBase*>& items) {
  const std::unordered_set<const CItemBase*> doomed(items.begin(), items.end());
  std::erase_if(folder.children_, [&doomed](const auto& child) { return doomed.count(child.get()) != 0; });
}

std::unique_ptr<CItemBase> RemoveChild(CFolderItem& folder, const CItemBase* item) {
  auto& children = folder.children_;
  auto found = FindChild(children, item);
  if (found == children.end()) return nullptr;
  auto at = children.begin() + (found - children.cbegin());
  std::unique_ptr<CItemBase> detached = std::move(*at);
  children.erase(at);
  detached->parent_ = nullptr;
  return detached;
}

// A selection pass rather than a library sort: a later child that sorts before the current
// reference is pulled forward and becomes the reference, the rest shifting back. Because only
// strict precedence moves anything, equal titles keep their relative order, and under the
// update-time order a pair that is not two sites is never reordered against each other.
void SortChildren(CFolderItem& folder, bool byUpdateTime, bool normalOrder) {
  auto& children = folder.children_;
  for (auto i = children.begin(); i != children.end(); ++i) {
    for (auto j = std::next(i); j != children.end(); ++j) {
      if (SortsBefore(**j, **i, byUpdateTime, normalOrder)) std::rotate(i, j, std::next(j));
    }
  }
}

int NewArticleCount(const CRssSiteItem& site) {
  if (!site.articles) return 0;
  const auto& items = site.articles->Items();
  return static_cast<int>(
      std::count_if(items.begin(), items.end(), [](const auto& item) { return item->newFlag != 0; }));
}

bool HasNewArticles(const CRssSiteItem& site) { return NewArticleCount(site) != 0; }

Text GetErrorText(int32_t errorCode) {
  auto withCode = [errorCode](TextView prefix) {
    return Text(prefix) + UnsignedDecimalText(static_cast<uint32_t>(errorCode)) + u')';
  };
  if (errorCode == CItemBase::kErrorTimeout) return u"タイムアウト";
  if (errorCode >= 100 && errorCode <= 999) return withCode(u"HTTPエラー(");
  if (errorCode >= 10000 && errorCode <= 19999) return withCode(u"通信エラー(");
  if (errorCode == CItemBase::kErrorXml) return u"XML解析エラー";
  if (errorCode == CItemBase::kErrorRss) return u"RSS解析エラー";
  return Text();
}

void SetSiteNewFlag(CRssSiteItem& site, bool isNew, bool propagate) {
  site.newFlag = isNew ? 1 : 0;
  if (propagate && site.Parent()) SetFolderNewFlag(*site.Parent(), isNew, false);
}

// Clearing without toChildren is a request, not an order: a folder keeps its flag while any
// of its sites still has unread news.
void SetFolderNewFlag(CFolderItem& folder, bool isNew, bool toChildren) {
  if (isNew) {
    folder.newFlag = 1;
    return;
  }
  const auto& children = folder.Children();
  if (toChildren) {
    for (const auto& child : children) child->newFlag = 0;
  } else if (std::any_of(children.begin(), children.end(),
                         [](const auto& child) { return child->newFlag != 0; })) {
    return;
  }
  folder.newFlag = 0;
}

// A site whose earlier news is still unread stays new even when the merged articles carry no
// flag of their own.
void ApplyCheckResultFlag(CRssSiteItem& site) {
  SetSiteNewFlag(site, site.newFlag != 0 || HasNewArticles(site), true);
}
