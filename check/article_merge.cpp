#include "check/article_merge.h"

#include <vector>

#include "util/split.h"

namespace {

enum FilterMode : int32_t {
  kFilterOn = 1,
  kAnyKeyword = 2,
  kInvert = 4,
  kFailingNotNew = 8,
};

enum FilterField : int32_t {
  kSkipTitle = 1,
  kSkipContent = 2,
  kSearchLink = 4,
  kSearchCreator = 8,
};

std::vector<const Text*> SelectedFields(const CRssItem& article, int32_t fields) {
  std::vector<const Text*> selected;
  if (!(fields & kSkipTitle)) selected.push_back(&article.title);
  if (!(fields & kSkipContent)) selected.push_back(&article.content);
  if (fields & kSearchLink) selected.push_back(&article.link);
  if (fields & kSearchCreator) selected.push_back(&article.creator);
  return selected;
}

bool Occurs(const Text& keyword, const std::vector<const Text*>& fields) {
  for (const Text* field : fields)
    if (field->find(keyword) != Text::npos) return true;
  return false;
}

bool SameArticle(const CRssItem& a, const CRssItem& b, bool compareDate) {
  return a.link == b.link && a.title == b.title && (!compareDate || a.dateText == b.dateText);
}

const CRssItem* FindMatch(const CRssItemArray* old, const CRssItem& article, bool compareDate) {
  if (!old) return nullptr;
  for (const auto& candidate : old->Items())
    if (SameArticle(*candidate, article, compareDate)) return candidate.get();
  return nullptr;
}

}  // namespace

int32_t ApplyKeywordFilter(int32_t proposedFlag, CRssItem& article, const CFolderItem& folder) {
  const int32_t mode = folder.filterMode;
  if (proposedFlag == 0 || !(mode & kFilterOn) || folder.filterKeywords.empty())
    return proposedFlag;
  const std::vector<const Text*> fields = SelectedFields(article, folder.filterFields);
  const std::vector<Text> keywords = SplitQuoted(folder.filterKeywords, u' ');
  if (fields.empty() || keywords.empty()) return proposedFlag;

  bool any = false;
  bool all = true;
  for (const Text& keyword : keywords) {
    const bool found = Occurs(keyword, fields);
    any = any || found;
    all = all && found;
  }
  bool passes = (mode & kAnyKeyword) ? any : all;
  if (mode & kInvert) passes = !passes;
  if (passes) return proposedFlag;
  if (mode & kFailingNotNew) return 0;
  article.content.clear();  // kept new, shown as its title only
  return proposedFlag;
}

bool MergeArticles(std::unique_ptr<CRssItemArray> fresh, CRssSiteItem& site,
                   const CFolderItem* folder, std::size_t leftItem) {
  if (!fresh) return false;
  const CRssItemArray* old = site.articles.get();
  const bool compareDate = site.compareDate != 0;
  bool allSeen = true;
  bool anyNew = false;
  for (const auto& article : fresh->Items()) {
    const CRssItem* match = FindMatch(old, *article, compareDate);
    int32_t proposed = 1;
    if (match) proposed = site.newFlag != 0 ? match->newFlag : 0;
    allSeen = allSeen && match != nullptr;
    const int32_t flag = folder ? ApplyKeywordFilter(proposed, *article, *folder) : proposed;
    if (flag == 0)
      article->MarkNotNew();
    else
      article->newFlag = flag;
    anyNew = anyNew || flag != 0;
  }
  if (allSeen || !anyNew) return false;

  if (old) {
    // Articles that left the feed stay readable for a while; dates do not matter here.
    std::vector<std::unique_ptr<CRssItem>> carried;
    for (const auto& oldArticle : old->Items()) {
      if (carried.size() >= leftItem) break;
      if (!FindMatch(fresh.get(), *oldArticle, false))
        carried.push_back(std::make_unique<CRssItem>(*oldArticle));
    }
    for (auto& article : carried) fresh->Append(std::move(article));
  }
  site.articles = std::move(fresh);
  return true;
}
