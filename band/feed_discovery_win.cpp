#include "band/feed_discovery_win.h"

#include <exdisp.h>
#include <mshtml.h>

#include <algorithm>

#include "band/dispatch_call_win.h"
#include "band/feed_links.h"
#include "band/rss_toolbar_ctrl_win.h"
#include "util/wide_win.h"

namespace {

// Collections of a page that could not be more than this are cut: a page is hostile.
constexpr long kMaxLinkElements = 10000;

com_ptr<IDispatch> Item(IDispatch* collection, long index) {
  unique_variant item;
  if (FAILED(CallByName(collection, L"item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {IntegerArgument(index)}, item)) ||
      item.get().vt != VT_DISPATCH || !item.get().pdispVal)
    return {};
  return QueryDispatch(item.get().pdispVal, IID_IDispatch);
}

long Length(IDispatch* collection) {
  unique_variant length;
  if (FAILED(CallByName(collection, L"length", DISPATCH_PROPERTYGET, {}, length))) return 0;
  unique_variant number;
  if (FAILED(::VariantChangeType(number.put(), length.in(), 0, VT_I4))) return 0;
  return std::clamp(number.get().lVal, 0L, kMaxLinkElements);
}

Text TitleAttribute(IDispatch* element) {
  unique_bstr name(::SysAllocString(L"title"));
  unique_variant value;
  if (FAILED(CallByName(element, L"getAttribute", DISPATCH_METHOD, {TextArgument(name.get()), IntegerArgument(0)},
                        value)) ||
      value.get().vt != VT_BSTR || !value.get().bstrVal)
    return Text();
  return FromWide(value.get().bstrVal, ::SysStringLen(value.get().bstrVal));
}

void OfferLink(IDispatch* frame, IDispatch* item, CRssToolbarCtrl& toolbar) {
  com_ptr<IDispatch> element = QueryDispatch(item, IID_IHTMLElement);
  com_ptr<IDispatch> link = QueryDispatch(item, IID_IHTMLLinkElement);
  if (!element || !link) return;
  const std::optional<Text> type = TextProperty(link.get(), L"type");
  const std::optional<Text> rel = TextProperty(link.get(), L"rel");
  if (!type || !rel || !IsFeedLink(*type, *rel)) return;
  const std::optional<Text> href = TextProperty(link.get(), L"href");
  const std::optional<Text> location = TextProperty(frame, L"LocationURL");
  if (!href || !location) return;
  const Text title = FeedLinkTitle(TitleAttribute(element.get()), *href);
  toolbar.AddFoundFeed(*location, title, ResolveFeedUrl(*location, *href));
}

}  // namespace

void DiscoverFeeds(IDispatch* frameObject, CRssToolbarCtrl& toolbar) {
  com_ptr<IDispatch> frame = QueryDispatch(frameObject, IID_IWebBrowser2);
  if (!frame) return;
  com_ptr<IDispatch> document = ObjectProperty(frame.get(), L"Document");
  com_ptr<IDispatch> html = QueryDispatch(document.get(), IID_IHTMLDocument3);
  if (!html) return;
  unique_bstr tag(::SysAllocString(L"link"));
  unique_variant links;
  if (FAILED(CallByName(html.get(), L"getElementsByTagName", DISPATCH_METHOD, {TextArgument(tag.get())}, links)) ||
      links.get().vt != VT_DISPATCH || !links.get().pdispVal)
    return;
  IDispatch* collection = links.get().pdispVal;
  const long length = Length(collection);
  for (long i = 0; i < length; ++i) {
    com_ptr<IDispatch> item = Item(collection, i);
    if (item) OfferLink(frame.get(), item.get(), toolbar);
  }
}

// Only the top-level browser has a window of its own; a frame leaving forgets its page only.
void ForgetFeedsOnNavigation(IDispatch* frameObject, CRssToolbarCtrl& toolbar) {
  com_ptr<IDispatch> frame = QueryDispatch(frameObject, IID_IWebBrowser2);
  if (!frame) return;
  unique_variant window;
  if (SUCCEEDED(CallByName(frame.get(), L"HWND", DISPATCH_PROPERTYGET, {}, window))) {
    unique_variant number;
    if (SUCCEEDED(::VariantChangeType(number.put(), window.in(), 0, VT_I8)) && number.get().llVal != 0) {
      toolbar.ClearFoundFeeds();
      return;
    }
  }
  toolbar.ForgetPageFeeds(TextProperty(frame.get(), L"LocationURL").value_or(Text()));
}
