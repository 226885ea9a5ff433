// Folders and sites as elements of the data file. The element order and the written-only-when
// rules are part of the file format: files written by earlier versions must keep reading.
#include "store/article_reader.h"
#include "store/item_tree.h"

namespace {

constexpr int32_t kMinInterval = 15;
constexpr int32_t kMaxInterval = 999;

Text Flag(int32_t value) { return DecimalText(value); }
Text Unsigned(uint32_t value) { return UnsignedDecimalText(value); }

// The children of a folder or site element that sit between its address and its counters.
void AddSourceElements(XmlElement& element, const CItemBase& item) {
  if (!item.orgSrc.empty() && item.orgSrc != item.src) element.AddElement(u"orgsrc", item.orgSrc);
  if (!item.lastModified.empty()) element.AddElement(u"lastmodified", item.lastModified);
  if (!item.etag.empty()) element.AddElement(u"etag", item.etag);
  if (!item.user.empty()) element.AddElement(u"user", item.user);
  if (!item.pass.empty()) element.AddElement(u"pass", item.pass);
}

void AddCountElements(XmlElement& element, const CItemBase& item) {
  XmlElement& count = element.AddElement(u"count");
  count.SetAttribute(u"check", Unsigned(item.checkCount));
  count.SetAttribute(u"error", Unsigned(item.errorCount));
  count.SetAttribute(u"update", Unsigned(item.updateCount));
  if (item.updateTime != 0) count.SetAttribute(u"uptime", DecimalText(item.updateTime));
  if (item.errorCode != 0)
    element.AddElement(u"error").SetAttribute(u"code", Unsigned(static_cast<uint32_t>(item.errorCode)));
}

XmlElement ArticleElement(const CRssItem& article) {
  XmlElement element(u"item");
  element.AddElement(u"title", article.title);
  element.AddElement(u"link", article.link);
  if (!article.dateText.empty()) element.AddElement(u"dc:date", article.dateText);
  if (!article.creator.empty()) element.AddElement(u"dc:creator", article.creator);
  if (!article.content.empty()) element.AddElement(u"content:encoded", article.content);
  if (!article.enclosure.empty())
    element.AddElement(u"enclosure").SetAttribute(u"url", article.enclosure);
  element.AddElement(u"newflag", Flag(article.newFlag));
  return element;
}

int32_t AttributeNumber(const XmlElement* element, TextView name) {
  return element ? LeadingDecimal(element->AttributeOr(name)) : 0;
}

// The fields folders and sites share; a missing element leaves the field as it was.
void ReadCommonFields(const XmlElement& element, CItemBase& item) {
  auto readText = [&element](TextView name, Text& field) {
    if (const XmlElement* child = element.Child(name)) field = child->InnerText();
  };
  readText(u"title", item.title);
  readText(u"src", item.src);
  readText(u"orgsrc", item.orgSrc);
  readText(u"lastmodified", item.lastModified);
  readText(u"etag", item.etag);
  readText(u"user", item.user);
  readText(u"pass", item.pass);
  if (item.orgSrc.empty()) item.orgSrc = item.src;
  if (const XmlElement* flag = element.Child(u"newflag")) item.newFlag = LeadingDecimal(flag->InnerText());

  const XmlElement* count = element.Child(u"count");
  item.checkCount = static_cast<uint32_t>(AttributeNumber(count, u"check"));
  item.updateCount = static_cast<uint32_t>(AttributeNumber(count, u"update"));
  item.errorCount = static_cast<uint32_t>(AttributeNumber(count, u"error"));
  item.updateTime = count ? LeadingDecimal64(count->AttributeOr(u"uptime")) : 0;
  item.errorCode = AttributeNumber(element.Child(u"error"), u"code");
}

}  // namespace

std::optional<XmlElement> CFolderItem::SaveToXml() const {
  XmlElement element(u"item");
  element.SetAttribute(u"type", u"folder");
  element.AddElement(u"title", title);
  element.AddElement(u"newflag", Flag(newFlag));
  if (interval >= 0) element.AddElement(u"interval", DecimalText(interval));
  if (SourceKind(*this) != 0) element.AddElement(u"src", src);
  AddSourceElements(element, *this);
  AddCountElements(element, *this);
  XmlElement& filter = element.AddElement(u"filter", filterKeywords);
  filter.SetAttribute(u"condition", Unsigned(static_cast<uint32_t>(filterMode)));
  filter.SetAttribute(u"scope", Unsigned(static_cast<uint32_t>(filterFields)));
  // A site that cannot be written is left out rather than losing the whole folder.
  for (const auto& child : Children())
    if (auto site = child->SaveToXml()) element.children.push_back(XmlNode::OfElement(std::move(*site)));
  return element;
}

std::optional<XmlElement> CRssSiteItem::SaveToXml() const {
  XmlElement element(u"item");
  element.SetAttribute(u"type", u"rss");
  element.AddElement(u"title", title);
  element.AddElement(u"link", link);
  element.AddElement(u"src", src);
  AddSourceElements(element, *this);
  element.AddElement(u"newflag", Flag(newFlag));
  element.AddElement(u"usedate", compareDate != 0 ? u"1" : u"0");
  if (noCheck != 0) element.AddElement(u"nocheck", u"1");
  AddCountElements(element, *this);
  if (articles) {
    if (!articles->FeedDate().empty()) element.AddElement(u"dc:date", articles->FeedDate());
    for (const auto& article : articles->Items())
      element.children.push_back(XmlNode::OfElement(ArticleElement(*article)));
  }
  return element;
}

bool CFolderItem::LoadFromXml(const XmlElement& element, const ItemReadOptions& options) {
  ReadCommonFields(element, *this);
  if (const XmlElement* child = element.Child(u"interval")) {
    const int32_t minutes = LeadingDecimal(child->InnerText());
    interval = (minutes == 0 || (minutes >= kMinInterval && minutes <= kMaxInterval)) ? minutes : -1;
  }
  if (const XmlElement* filter = element.Child(u"filter")) {
    filterKeywords = filter->InnerText();
    filterMode = AttributeNumber(filter, u"condition");
    filterFields = AttributeNumber(filter, u"scope");
  }
  // Folders never nest: only site elements become children.
  const CItemBase* last = nullptr;
  for (const XmlElement* child : element.Children(u"item")) {
    if (child->Attribute(u"type") != Text(u"rss")) continue;
    auto site = std::make_unique<CRssSiteItem>();
    if (site->LoadFromXml(*child, options)) last = InsertChildAfter(*this, std::move(site), last);
  }
  return true;
}

bool CRssSiteItem::LoadFromXml(const XmlElement& element, const ItemReadOptions& options) {
  ReadCommonFields(element, *this);
  if (const XmlElement* child = element.Child(u"link")) link = child->InnerText();
  if (const XmlElement* child = element.Child(u"nocheck")) noCheck = LeadingDecimal(child->InnerText());
  if (const XmlElement* child = element.Child(u"usedate"))
    compareDate = LeadingDecimal(child->InnerText());
  else if (!options.auctionHostFragment.empty() && src.find(options.auctionHostFragment) != Text::npos)
    compareDate = 0;
  articles = std::make_unique<CRssItemArray>(src, title, link, element.ChildText(u"dc:date"));
  CollectArticles(*articles, element.Children(u"item"), &ReadRssItem, options.loadItem,
                  ReadLimit::kNewestDated);
  return true;
}
