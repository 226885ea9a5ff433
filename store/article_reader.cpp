#include "store/article_reader.h"

#include "util/feed_date.h"

Text FirstChildText(const XmlElement& element, std::initializer_list<TextView> names) {
  for (TextView name : names)
    if (const XmlElement* child = element.Child(name)) return child->InnerText();
  return Text();
}

int32_t NewFlagOf(const XmlElement& item) {
  const XmlElement* flag = item.Child(u"newflag");
  return flag ? LeadingDecimal(flag->InnerText()) : 0;
}

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
