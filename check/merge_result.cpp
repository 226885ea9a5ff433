#include "check/merge_result.h"

#include "check/article_merge.h"

MergeOutcome MergeResult(CRssSiteItem& site, std::unique_ptr<CRssItemArray> articles,
                         TextView lastModified, TextView etag, const MergeOptions& options) {
  MergeOutcome outcome;
  if (!articles) return outcome;
  const Text feedLink = articles->FeedLink();
  const Text feedTitle = articles->FeedTitle();
  outcome.updated = MergeArticles(std::move(articles), site, site.Parent(), options.leftItem);
  site.link = feedLink;
  site.lastModified = lastModified;
  site.etag = etag;
  ++site.checkCount;
  site.errorCode = 0;
  if (outcome.updated) {
    ++site.updateCount;
    site.updateTime = options.now;
    ApplyCheckResultFlag(site);
  }
  if (options.updateTitle && !feedTitle.empty() && site.title != feedTitle) {
    site.title = feedTitle;
    outcome.titleChanged = true;
  }
  return outcome;
}
