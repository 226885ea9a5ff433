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
