#include "store/mark_read.h"

namespace {

void MarkArticlesRead(CItemBase& item) {
  if (item.kind == CItemBase::kKindFolder) {
    for (const auto& child : static_cast<CFolderItem&>(item).Children()) MarkArticlesRead(*child);
    return;
  }
  if (item.kind != CItemBase::kKindSite) return;
  auto& site = static_cast<CRssSiteItem&>(item);
  if (!site.articles) return;
  for (const auto& article : site.articles->Items())
    if (article->newFlag != 0) article->MarkNotNew();
}

}  // namespace

void MarkItemRead(CItemBase& item) {
  if (item.kind == CItemBase::kKindSite)
    SetSiteNewFlag(static_cast<CRssSiteItem&>(item), false, true);
  else if (item.kind == CItemBase::kKindFolder)
    SetFolderNewFlag(static_cast<CFolderItem&>(item), false, true);
  MarkArticlesRead(item);
}

void ClearArticleNewFlags(CItemBase& item) { MarkArticlesRead(item); }
