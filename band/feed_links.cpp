#include "band/feed_links.h"

#include <vector>

#include "util/split.h"
#include "util/url.h"

namespace {

constexpr TextView kFeedTypes[] = {u"application/rss+xml", u"application/xml+rss",
                                   u"application/atom+xml", u"application/xml+atom"};
constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;

// Absolute for the band: a scheme, "//" and a host.
bool IsAbsoluteWithHost(TextView url) {
  std::optional<UrlParts> parts = ParseAbsoluteUrl(url);
  return parts && parts->hasAuthority && !parts->host.empty();
}

std::vector<Text> PathFields(TextView path) { return SplitQuoted(path, u'/', EmptyFields::kKeep); }

}  // namespace

bool IsFeedLink(TextView type, TextView rel) {
  if (!EqualsIgnoreCaseAscii(rel, u"alternate")) return false;
  for (TextView feedType : kFeedTypes)
    if (EqualsIgnoreCaseAscii(type, feedType)) return true;
  return false;
}

Text FeedLinkTitle(TextView title, TextView href) {
  Text result(title.empty() ? href : title);
  ReplaceAll(result, u"\r", u"");
  ReplaceAll(result, u"\n", u"");
  return result;
}

Text ResolveFeedUrl(TextView base, TextView reference) {
  if (IsAbsoluteWithHost(reference)) return Text(reference);
  std::optional<UrlParts> page = ParseAbsoluteUrl(base);
  if (!page || (page->scheme != u"http" && page->scheme != u"https") || page->host.empty())
    return Text(reference);
  std::vector<Text> segments = PathFields(page->pathAndQuery);
  if (segments.size() < 2) return Text(reference);
  segments.pop_back();
  segments.erase(segments.begin());
  for (const Text& field : PathFields(reference)) {
    if (field.empty()) {
      segments.clear();
    } else if (field == u"..") {
      if (!segments.empty()) segments.pop_back();
    } else if (field != u".") {
      segments.push_back(field);
    }
  }
  const bool https = page->scheme == u"https";
  Text result = (https ? u"https://" : u"http://") + page->host;
  if (page->port != (https ? kHttpsPort : kHttpPort)) result += u":" + DecimalText(page->port);
  for (const Text& segment : segments) result += u"/" + segment;
  return result;
}

Text AddFeedCommand(TextView feedUrl) {
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  Text command = u"/add?";
  for (char16_t c : feedUrl) {
    if (c <= u' ' || c == u'\x7F' || c == u'#') {
      command += {u'%', kHex[c >> 4], kHex[c & 0xF]};
    } else {
      command.push_back(c);
    }
  }
  return command;
}
