#include "check/fetch_rules.h"

#include <algorithm>

#include "util/url_encoding.h"

namespace {

constexpr TextView kFeedScheme = u"feed:";
constexpr TextView kFeedSlashes = u"feed://";
// "feed:" counts as a prefix only this close to the start: one stray character before it is
// tolerated, as pasted addresses sometimes carry one.
constexpr std::size_t kFeedPrefixLastIndex = 1;

bool StartsWithIgnoreCase(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCaseAscii(text.substr(0, prefix.size()), prefix);
}

// The length of "scheme:" at the start of `text`, 0 when there is none. One letter before
// a colon is a drive, not a scheme.
std::size_t SchemeLength(TextView text) {
  if (text.empty() || !IsAsciiLetter(text[0])) return 0;
  std::size_t i = 1;
  while (i < text.size() && (IsAsciiLetter(text[i]) || IsAsciiDigit(text[i]) || text[i] == u'+' ||
                             text[i] == u'-' || text[i] == u'.'))
    ++i;
  return (i >= 2 && i < text.size() && text[i] == u':') ? i + 1 : 0;
}

bool IsDriveStart(TextView text) {
  return text.size() >= 2 && IsAsciiLetter(text[0]) && (text[1] == u':' || text[1] == u'|') &&
         (text.size() == 2 || text[2] == u'/' || text[2] == u'\\');
}

Text WithBackslashes(TextView text) {
  Text result(text);
  for (char16_t& c : result)
    if (c == u'/') c = u'\\';
  return result;
}

}  // namespace

Text NormalizeFeedUrl(TextView url) {
  if (StartsWithIgnoreCase(url, kFeedSlashes)) return u"http:" + Text(url.substr(kFeedScheme.size()));
  for (std::size_t at = 0; at <= kFeedPrefixLastIndex; ++at)
    if (StartsWithIgnoreCase(url.substr(std::min(at, url.size())), kFeedScheme))
      return Text(url.substr(at + kFeedScheme.size()));
  return Text(url);
}

bool IsHttpUrl(TextView url) {
  return StartsWithIgnoreCase(url, u"http:") || StartsWithIgnoreCase(url, u"https:");
}

// Mapping of addresses to paths:
//   "C:\dir\a.xml", "C:/dir/a.xml", "\\server\share\a.xml"  -> taken as written (slashes turned
//                                                              round), never percent-decoded
//   "file:///C:/dir/a%20b.xml", "file://localhost/C:/..."    -> "C:\dir\a b.xml"
//   "file://C:/dir/a.xml", "file:C:/dir/a.xml", "file:///C|/"-> "C:\dir\a.xml" ("|" is an old
//                                                              spelling of the drive colon)
//   "file://server/share/a.xml"                              -> "\\server\share\a.xml"
// Any other scheme is read the same way as file:, and text that is no URL at all is taken as
// a (possibly relative) path.
std::optional<Text> LocalFilePath(TextView url) {
  if (IsHttpUrl(url)) return std::nullopt;
  if (IsDriveStart(url)) return WithBackslashes(url);
  const std::size_t schemeLength = SchemeLength(url);
  if (schemeLength == 0) return WithBackslashes(url);

  TextView rest = url.substr(schemeLength);
  Text path;
  if (StartsWith(rest, u"//")) {
    rest.remove_prefix(2);
    const std::size_t end = std::min(rest.find(u'/'), rest.find(u'\\'));
    const TextView authority = rest.substr(0, std::min(end, rest.size()));
    const TextView afterAuthority = end == TextView::npos ? TextView() : rest.substr(end);
    if (IsDriveStart(authority))
      path = Text(rest);  // "file://C:/..." written without the third slash
    else if (authority.empty() || EqualsIgnoreCaseAscii(authority, u"localhost"))
      path = Text(afterAuthority);
    else
      path = u"//" + Text(authority) + Text(afterAuthority);
  } else {
    path = Text(rest);
  }
  if (path.size() >= 2 && (path[0] == u'/' || path[0] == u'\\') && IsDriveStart(TextView(path).substr(1)))
    path.erase(0, 1);
  if (path.size() >= 2 && path[1] == u'|' && IsAsciiLetter(path[0])) path[1] = u':';
  return PercentDecode(WithBackslashes(path));
}

std::vector<Text> ScheduledHeaders(TextView lastModified, TextView etag, bool forceReload, TextView url,
                                   TextView browserAgentFragment) {
  std::vector<Text> headers;
  if (!lastModified.empty() && !forceReload) headers.push_back(u"If-Modified-Since: " + Text(lastModified));
  if (!etag.empty() && !forceReload) headers.push_back(u"If-None-Match: " + Text(etag));
  const bool asBrowser = !browserAgentFragment.empty() && url.find(browserAgentFragment) != TextView::npos;
  headers.emplace_back(asBrowser ? kBrowserUserAgentHeader : kOwnUserAgentHeader);
  return headers;
}

int32_t CheckErrorCode(const std::optional<FetchResult>& result) {
  if (!result) return kNoResultErrorCode;
  if (result->status >= 100 && result->status <= 999) return static_cast<int32_t>(result->status);
  return result->status != 0 ? kBadStatusErrorCode : 0;
}

ProxyChoice ChooseProxy(const CProxySettings& proxy) {
  switch (proxy.type) {
    case CProxySettings::kDirect:
      return {ProxyAccess::kDirect, {}};
    case CProxySettings::kGivenHere:
      if (!proxy.server.empty() && proxy.port != 0)
        return {ProxyAccess::kNamed, proxy.server + u":" + DecimalText(proxy.port)};
      return {};
    default:
      return {};
  }
}

bool IsRedirectStatus(uint32_t status) { return status == 301 || status == 302 || status == 307; }

std::optional<FetchResult> TransferWithRedirects(
    const Text& url, const std::function<std::optional<FetchResult>(const Text& url)>& transferOnce) {
  // Only the web may send a feed elsewhere: a redirect to news:, mailto: or file: would have the
  // transfer open a local path or a network share, and keep it as the site's address.
  auto leavesTheWeb = [](const std::optional<FetchResult>& answer) {
    return answer && IsRedirectStatus(answer->status) && !IsHttpUrl(answer->location);
  };
  std::optional<FetchResult> result = transferOnce(url);
  if (leavesTheWeb(result)) return std::nullopt;
  Text firstTarget;
  for (int redirects = 0; result && IsRedirectStatus(result->status) && redirects < kRedirectLimit;
       ++redirects) {
    if (firstTarget.empty()) firstTarget = result->location;
    const Text next = result->location;
    result = transferOnce(next);
    if (leavesTheWeb(result)) return std::nullopt;
  }
  if (result && !firstTarget.empty()) result->location = firstTarget;
  return result;
}
