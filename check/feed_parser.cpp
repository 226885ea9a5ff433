#include "check/feed_parser.h"

#include <utility>

#include "store/item_tree.h"
#include "util/feed_date.h"

FeedFormat DetectFeedFormat(const XmlElement& root) {
  if (root.name == u"rdf:RDF") return FeedFormat::kRss10;
  if (root.name == u"rss") return FeedFormat::kRss20;
  if (root.name == u"feed") return FeedFormat::kAtom;
  return FeedFormat::kNone;
}

namespace {

// The first of the named children that is present gives the text.
Text FirstChildText(const XmlElement& element, std::initializer_list<TextView> names) {
  for (TextView name : names)
    if (const XmlElement* child = element.Child(name)) return child->InnerText();
  return Text();
}

int32_t NewFlagOf(const XmlElement& item) {
  const XmlElement* flag = item.Child(u"newflag");
  return flag ? LeadingDecimal(flag->InnerText()) : 0;
}

// The walk over an Atom element's links: the first alternate (or unmarked) link wins; a self
// link is taken only until an alternate one turns up.
Text AtomLink(const XmlElement& element) {
  Text chosen;
  for (const XmlElement* link : element.Children(u"link")) {
    const auto rel = link->Attribute(u"rel");
    if (!rel || *rel == u"alternate") return link->AttributeOr(u"href");
    if (*rel == u"self") chosen = link->AttributeOr(u"href");
  }
  return chosen;
}

Text AtomContent(const XmlElement& entry) {
  const XmlElement* content = entry.Child(u"content");
  if (!content) return entry.ChildText(u"summary");
  if (content->Attribute(u"type") == Text(u"xhtml")) {
    const XmlElement* div = content->Child(u"div");
    return div ? div->Markup() : Text();
  }
  return content->InnerText();
}

}  // namespace

CRssItem ReadRssItem(const XmlElement& item) {
  CRssItem article;
  article.title = item.ChildText(u"title");
  article.link = item.ChildText(u"link");
  article.dateText = FirstChildText(item, {u"dc:date", u"pubDate"});
  article.date = ParseFeedDate(article.dateText);
  article.creator = FirstChildText(item, {u"dc:creator", u"creator", u"author"});
  article.content = FirstChildText(item, {u"content:encoded", u"description"});
  if (const XmlElement* enclosure = item.Child(u"enclosure"))
    article.enclosure = enclosure->AttributeOr(u"url");
  article.newFlag = NewFlagOf(item);
  return article;
}

CRssItem ReadAtomEntry(const XmlElement& entry) {
  CRssItem article;
  article.title = entry.ChildText(u"title");
  article.link = AtomLink(entry);
  article.dateText = FirstChildText(entry, {u"updated", u"modified"});
  article.date = ParseFeedDate(article.dateText);
  if (const XmlElement* author = entry.Child(u"author")) article.creator = author->ChildText(u"name");
  article.content = AtomContent(entry);
  article.newFlag = NewFlagOf(entry);
  return article;
}

void CollectArticles(CRssItemArray& into, const std::vector<const XmlElement*>& items,
                     CRssItem (*read)(const XmlElement&), std::size_t limit, ReadLimit rule) {
  bool sorted = true;
  std::size_t readCount = 0;
  for (const XmlElement* element : items) {
    if (readCount >= limit && (!sorted || rule == ReadLimit::kFirstItems)) break;
    ++readCount;
    auto article = std::make_unique<CRssItem>(read(*element));
    if (sorted && article->date != 0) {
      // After every article dated later or at the same time: equal dates keep document order.
      std::size_t at = 0;
      while (at < into.Size() && into.Items()[at]->date >= article->date) ++at;
      into.Insert(at, std::move(article));
    } else {
      sorted = false;
      into.Append(std::move(article));
    }
    if (into.Size() > limit) into.Take(into.Size() - 1);
  }
}

std::unique_ptr<CRssItemArray> ParseFeed(const XmlElement& root, TextView url, std::size_t loadItem) {
  switch (DetectFeedFormat(root)) {
    case FeedFormat::kRss10:
    case FeedFormat::kRss20: {
      // RSS 1.0 items stand beside the channel; RSS 2.0 items inside it.
      const XmlElement* channel = root.Child(u"channel");
      const bool rss10 = root.name == u"rdf:RDF";
      auto articles = std::make_unique<CRssItemArray>(
          Text(url), channel ? channel->ChildText(u"title") : Text(),
          channel ? channel->ChildText(u"link") : Text(),
          channel ? FirstChildText(*channel, {u"dc:date", u"pubDate"}) : Text());
      const XmlElement* itemParent = rss10 ? &root : channel;
      if (itemParent)
        CollectArticles(*articles, itemParent->Children(u"item"), &ReadRssItem, loadItem,
                        ReadLimit::kNewestDated);
      return articles;
    }
    case FeedFormat::kAtom: {
      auto articles = std::make_unique<CRssItemArray>(
          Text(url), root.ChildText(u"title"), AtomLink(root),
          FirstChildText(root, {u"updated", u"modified"}));
      CollectArticles(*articles, root.Children(u"entry"), &ReadAtomEntry, loadItem,
                      ReadLimit::kFirstItems);
      return articles;
    }
    case FeedFormat::kNone: break;
  }
  return nullptr;
}

FeedReadResult ReadFeedDocument(const std::optional<XmlElement>& root, TextView url,
                                std::size_t loadItem) {
  FeedReadResult result;
  if (!root) {
    result.errorCode = CItemBase::kErrorXml;
    return result;
  }
  result.articles = ParseFeed(*root, url, loadItem);
  if (!result.articles) result.errorCode = CItemBase::kErrorRss;
  return result;
}
