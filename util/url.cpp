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

// Browsers read percent escapes and full-width letters, digits and dots in a host as their
// ASCII forms. nullopt when an escape is broken or decodes to something no host holds.
std::optional<Text> HostAsBrowserReadsIt(TextView host) {
  Text ascii;
  for (size_t i = 0; i < host.size(); ++i) {
    char16_t c = host[i];
    if (c == u'%') {
      if (i + 2 >= host.size() || !IsAsciiHexDigit(host[i + 1]) || !IsAsciiHexDigit(host[i + 2])) return std::nullopt;
      c = static_cast<char16_t>(HexDigitValue(host[i + 1]) * 16 + HexDigitValue(host[i + 2]));
      i += 2;
    } else if (c >= 0xFF01 && c <= 0xFF5E) {
      c = static_cast<char16_t>(c - 0xFF01 + 0x21);
    } else if (c == 0x3002 || c == 0xFF61) {
      c = u'.';
    }
    // "&" would start a character reference the browser decodes inside the attribute.
    if (c <= u' ' || c >= 0x7F || c == u'%' || c == u'\\' || c == u'@' || c == u'&') return std::nullopt;
    ascii += c;
  }
  return ToLowerAscii(ascii);
}

// One part of an IPv4 address as browsers read it: "0x" hexadecimal, a leading "0" octal,
// otherwise decimal. nullopt when the part is no number.
std::optional<uint64_t> Ipv4Part(TextView part) {
  unsigned base = 10;
  if (part.size() >= 2 && part[0] == u'0' && (part[1] == u'x' || part[1] == u'X')) {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() >= 2 && part[0] == u'0') {
    base = 8;
    part.remove_prefix(1);
  }
  uint64_t value = 0;
  for (char16_t c : part) {
    const unsigned digit = IsAsciiHexDigit(c) ? static_cast<unsigned>(HexDigitValue(c)) : 99u;
    if (digit >= base || (base == 10 && !IsAsciiDigit(c))) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return value;
}

// A host whose last label is a number is an IPv4 address to a browser, or no valid host.
// nullopt when the host is a name.
std::optional<std::optional<uint32_t>> Ipv4Address(TextView host) {
  std::vector<Text> parts = SplitPlain(host, u'.');
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  if (parts.empty() || !Ipv4Part(parts.back())) return std::nullopt;
  if (parts.size() > 4) return std::optional<uint32_t>();
  uint64_t address = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const auto value = Ipv4Part(parts[i]);
    const bool last = i + 1 == parts.size();
    const uint64_t limit = last ? (1ull << (8 * (5 - parts.size()))) : 256;
    if (!value || *value >= limit) return std::optional<uint32_t>();
    address = last ? address * limit + *value : address * 256 + *value;
  }
  return std::optional<uint32_t>(static_cast<uint32_t>(address));
}

}  // namespace

bool IsThisComputerHost(TextView host) {
  if (host.empty() || host.front() == u'[') return true;
  const auto ascii = HostAsBrowserReadsIt(host);
  if (!ascii) return true;
  TextView name = *ascii;
  while (!name.empty() && name.back() == u'.') name.remove_suffix(1);
  if (name == u"localhost" || EndsWith(name, u".localhost")) return true;
  if (const auto address = Ipv4Address(name)) {
    if (!*address) return true;  // a browser refuses it: nothing of ours to keep
    const uint32_t first = **address >> 24;
    return first == 127 || first == 0;
  }
  return false;
}

bool IsWebAddress(TextView url) {
  for (TextView scheme : {u"http:", u"https:", u"feed:"})
    if (url.size() >= scheme.size() && EqualsIgnoreCaseAscii(url.substr(0, scheme.size()), scheme)) return true;
  return false;
}

bool IsForeignUrl(TextView url) {
  if (StartsWith(url, u"#")) return url.find_first_of(u"\t\r\n") == TextView::npos;
  const auto parts = ParseAbsoluteUrl(url);
  if (!parts || !parts->knownScheme || parts->scheme == u"file") return false;
  // Browsers drop tabs and line breaks inside an address and read "\\" as "/" in web
  // addresses: what they would then see is not what was checked.
  if (url.find_first_of(u"\t\r\n\\") != TextView::npos) return false;
  const bool web = IsWebScheme(parts->scheme) || parts->scheme == u"ftp";
  if (!web) return true;  // news:, mailto: and the like open other programs, never this server
  return parts->hasAuthority && !IsThisComputerHost(parts->host);
}

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
