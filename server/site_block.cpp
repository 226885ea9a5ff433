#include "server/site_block.h"

#include "server/page_markup.h"
#include "util/feed_date.h"
#include "util/html_sanitizer.h"
#include "util/text_escape.h"

namespace {

constexpr TextView kNoTitle = u"NO TITLE";

Text Sanitized(TextView html, TextView base, const Text* whitelist) {
  Text text(html);
  SanitizeHtml(text, base, whitelist);
  return text;
}

Text ArticleTitle(const CRssItem& article) {
  const Text whitelist(kTitleWhitelist);
  Text title = Sanitized(article.title, article.link, &whitelist);
  return title.empty() ? Text(kNoTitle) : title;
}

Text SiteDate(const CRssSiteItem& site) {
  Text date = FormatFeedDate(site.articles->FeedDate());
  if (date.empty()) date = FormatFeedDate(site.lastModified);
  return date;
}

Text ScrollLink(int target) {
  return u"<a href=\"javascript:scrollSite2(" + DecimalText(target) +
         u");\" target=\"_self\" class=\"siteupdown\">";
}

Text UpDownLinks(int index, int count) {
  Text out = u"<script type='text/javascript'><!--\ndocument.write('<div class=\"siteupdownBox\">";
  if (index < 1)
    out += u"<span class=\"siteupdown\">▲</span>";
  else
    out += ScrollLink(index - 1) + u"▲</a>";
  if (index < count - 1)
    out += ScrollLink(index + 1) + u"▼</a>";
  else
    out += u"<span class=\"siteupdown\">▼</span>";
  out += u"</div>');\n// --></script>";
  return out;
}

void AppendNewArticle(Text& out, const CRssItem& article, TextView position,
                      const Text* whitelist) {
  const Text p(position);
  out +=
      u"<span class=\"contentlist\" onclick=\"expand('" + p + u"');\" id=\"j" + p + u"\">◆</span>";
  out += u"<a href=\"" + SafeHref(article.link) + u"\" class=\"contenttitle\">" +
         ArticleTitle(article) + u"</a>";
  if (!article.enclosure.empty())
    out += u"<a href=\"" + SafeHref(article.enclosure) + u"\" class=\"contentfile\">添付</a>";
  const Text date = FormatFeedDate(article.dateText);
  if (!date.empty()) out += u"<span class=\"contentdate\">" + EscapeHtml(date) + u"</span>";
  if (!article.creator.empty())
    out += u"<span class=\"contentcreator\">" + EscapeHtml(article.creator) + u"</span>";
  out += u"<div class=\"content\" id=\"i" + p + u"\">\n";
  out += Sanitized(article.content, article.link, whitelist);
  out += u"</div>\n<hr class=\"contentend\" />\n";
}

void AppendOldArticle(Text& out, const CRssItem& article) {
  out += u"<span class=\"contentlist2\">◆</span>";
  out += u"<a href=\"" + SafeHref(article.link) + u"\" class=\"contenttitle2\">" +
         ArticleTitle(article) + u"</a>";
  const Text date = FormatFeedDate(article.dateText);
  if (!date.empty()) out += u"<span class=\"contentdate2\">" + EscapeHtml(date) + u"</span>";
  out += u"<br />\n";
}

}  // namespace

Text BuildSiteBlock(const CRssSiteItem& site, bool isNew, ItemId id, int index, int count,
                    TextView whitelist, bool titleOnly) {
  const Text number = DecimalText(index);
  const bool full = !titleOnly && site.articles;
  Text out = u"<div id=\"l" + number + u"\" name=\"l" + number + u"\" class=\"" +
             (titleOnly || !isNew ? u"sitetitle2" : u"sitetitle") + u"\">";
  out += u"<a class=\"sitestr\" href=\"" + SafeHref(site.link) + u"\">" +
         EscapeHtml(site.GetTitle()) + u"</a>";
  out += u"<a href=\"" + SafeHref(site.src) + u"\" class=\"siterss\">RSS</a>";
  out += u"<script type='text/javascript'><!--\nsyncWrite('" + UnsignedDecimalText(id) +
         u"');\n// --></script>";
  if (full) {
    const Text fresh = isNew ? DecimalText(NewArticleCount(site)) : Text(u"0");
    out += u"<span class=\"contentnum\" onclick=\"expand2('" + number + u"')\">(" + fresh + u"/" +
           DecimalText(static_cast<int64_t>(site.articles->Size())) + u")</span>";
  }
  if (site.articles) {
    const Text date = SiteDate(site);
    if (!date.empty()) out += u"<span class=\"sitedate\">" + EscapeHtml(date) + u"</span>";
  }
  if (full) out += UpDownLinks(index, count);
  out += u"<br clear=\"all\" /></div>\n";
  if (!full) return out;

  Text storage;
  const Text* bodyWhitelist = ResolveBodyWhitelist(whitelist, storage);
  out += u"<span class=\"contentinfo\" id=\"c" + number + u"\">\n";
  const auto& items = site.articles->Items();
  for (size_t j = 0; j < items.size(); ++j) {
    const CRssItem& article = *items[j];
    if (!isNew)
      AppendOldArticle(out, article);
    else if (article.newFlag != 0)
      AppendNewArticle(out, article, number + u"_" + DecimalText(static_cast<int64_t>(j)),
                       bodyWhitelist);
  }
  out += u"</span>\n\n";
  return out;
}
