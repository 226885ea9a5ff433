#include "util/url.h"

#include <algorithm>
#include <vector>

#include "util/split.h"

namespace {

struct KnownScheme {
  TextView name;
  int defaultPort;
};

// Schemes that name a real resource. Everything else, the scripting schemes above all, is
// unknown: a link or redirect to it is dropped rather than passed on.
constexpr KnownScheme kKnownSchemes[] = {
    {u"http", 80},  {u"https", 443}, {u"ftp", 21},   {u"gopher", 70}, {u"telnet", 23},
    {u"nntp", 119}, {u"news", 0},    {u"mailto", 0}, {u"file", 0},
};

constexpr uint32_t kMaxPort = 65535;

const KnownScheme* FindKnownScheme(TextView scheme) {
  for (const auto& known : kKnownSchemes)
    if (known.name == scheme) return &known;
  return nullptr;
}

bool IsSchemeChar(char16_t c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
}

bool IsWebScheme(TextView scheme) { return scheme == u"http" || scheme == u"https"; }

// Browsers drop control characters and spaces around an address before they look at it, and
// feeds often carry a stray newline around a link.
TextView TrimUrl(TextView url) {
  while (!url.empty() && url.front() <= u' ') url.remove_prefix(1);
  while (!url.empty() && url.back() <= u' ') url.remove_suffix(1);
  return url;
}

bool ParsePort(TextView digits, int& port) {
  if (digits.empty()) return true;  // "host:" keeps the default port
  uint32_t value = 0;
  for (char16_t c : digits) {
    if (!IsAsciiDigit(c)) return false;
    value = value * 10 + uint32_t(c - u'0');
    if (value > kMaxPort) return false;
  }
  port = int(value);
  return true;
}

// "user:password@host:port", with the host possibly a bracketed IPv6 literal.
bool ParseAuthority(TextView authority, UrlParts& parts) {
  size_t at = authority.rfind(u'@');
  if (at != TextView::npos) authority.remove_prefix(at + 1);
  size_t hostEnd = 0;
  if (!authority.empty() && authority.front() == u'[') {
    hostEnd = authority.find(u']');
    if (hostEnd == TextView::npos) return false;
    ++hostEnd;
    if (hostEnd < authority.size() && authority[hostEnd] != u':') return false;
  } else {
    hostEnd = std::min(authority.find(u':'), authority.size());
  }
  parts.host = authority.substr(0, hostEnd);
  TextView port = authority.substr(hostEnd);
  if (!port.empty()) port.remove_prefix(1);
  return ParsePort(port, parts.port);
}

}  // namespace

std::optional<UrlParts> ParseAbsoluteUrl(TextView url) {
  if (url.empty() || !IsAsciiLetter(url.front())) return std::nullopt;
  size_t colon = 1;
  while (colon < url.size() && IsSchemeChar(url[colon])) ++colon;
  if (colon == url.size() || url[colon] != u':') return std::nullopt;

  UrlParts parts;
  parts.scheme = ToLowerAscii(url.substr(0, colon));
  if (const KnownScheme* known = FindKnownScheme(parts.scheme)) {
    parts.knownScheme = true;
    parts.port = known->defaultPort;
  }
  TextView rest = url.substr(colon + 1);
  rest = rest.substr(0, rest.find(u'#'));
  if (!StartsWith(rest, u"//")) {
    parts.pathAndQuery = rest;
    return parts;
  }
  parts.hasAuthority = true;
  rest.remove_prefix(2);
  size_t authorityEnd = std::min(rest.find_first_of(u"/?"), rest.size());
  if (!ParseAuthority(rest.substr(0, authorityEnd), parts)) return std::nullopt;
  rest.remove_prefix(authorityEnd);
  if (rest.empty() || rest.front() != u'/') parts.pathAndQuery = u"/";
  parts.pathAndQuery += rest;
  return parts;
}

Text ResolveUrl(TextView base, TextView reference) {
  reference = TrimUrl(reference);
  if (reference.empty()) return Text();
  if (reference.front() != u'/') {
    if (auto absolute = ParseAbsoluteUrl(reference))
      return absolute->knownScheme && absolute->scheme != u"file" ? Text(reference) : Text();
  }
  auto parsedBase = ParseAbsoluteUrl(TrimUrl(base));
  if (!parsedBase || !IsWebScheme(parsedBase->scheme) || parsedBase->host.empty())
    return Text(reference);
  const UrlParts& from = *parsedBase;

  // "//host/path" takes only the scheme of the base; a broken host part leaves no link at all.
  if (StartsWith(reference, u"//")) {
    Text absolute = from.scheme + u":" + Text(reference);
    return ParseAbsoluteUrl(absolute) ? absolute : Text();
  }

  Text result = from.scheme + u"://" + from.host;
  if (from.port != FindKnownScheme(from.scheme)->defaultPort)
    result += u":" + DecimalText(from.port);
  // A fragment or a query alone refers to the base document itself, not to its directory.
  if (reference.front() == u'#') return result + from.pathAndQuery + Text(reference);
  TextView path = TextView(from.pathAndQuery).substr(0, from.pathAndQuery.find(u'?'));
  if (reference.front() == u'?') return result + Text(path) + Text(reference);

  // Only the path gives directories: a query such as "?url=http://x/y" holds slashes too.
  std::vector<Text> segments = SplitPlain(path, u'/');
  if (segments.size() < 2) return Text(reference);
  segments.pop_back();               // the document name
  segments.erase(segments.begin());  // the empty field before the leading "/"

  // Leading "/", "." and ".." fields move within the base's directories; from the first
  // ordinary field on, everything is appended as written.
  bool leading = true;
  std::vector<Text> fields = SplitPlain(reference, u'/');
  for (size_t i = 0; i < fields.size(); ++i) {
    Text& field = fields[i];
    if (leading) {
      if (i == 0 && field.empty()) {
        segments.clear();
        continue;
      }
      if (field == u"..") {
        if (!segments.empty()) segments.pop_back();
        continue;
      }
      if (field == u".") continue;
      leading = false;
    }
    segments.push_back(std::move(field));
  }
  if (leading) segments.emplace_back();  // "." or ".." alone names a directory: end with "/"
  for (const Text& segment : segments) {
    result += u'/';
    result += segment;
  }
  return result;
}
