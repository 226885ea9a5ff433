#include "ui/search_sites.h"

#include <optional>
#include <string>

#include "util/code_page.h"
#include "util/url_encoding.h"

namespace {

constexpr char16_t kUtf8Marker[] = u"//key@utf-8//";
constexpr char16_t kEucMarker[] = u"//key@euc//";
constexpr char16_t kShiftJisMarker[] = u"//key@sjis//";

std::optional<std::string> EucJpBytes(TextView keyword) {
  const auto shiftJis = ToSystemCodePage(keyword);
  if (!shiftJis) return std::nullopt;
  std::string euc = ShiftJisToEucJp(*shiftJis);
  if (euc.empty()) return std::nullopt;
  return euc;
}

// Replaces the marker when the template holds it; false when the keyword has no bytes for it.
template <typename Encode>
bool ReplaceMarker(Text& url, TextView marker, TextView keyword, Encode encode) {
  if (url.find(marker) == Text::npos) return true;
  const std::optional<std::string> bytes = encode(keyword);
  if (!bytes || bytes->empty()) return false;
  ReplaceAll(url, marker, AsciiToText(FormEncode(*bytes)));
  return true;
}

}  // namespace

std::vector<SearchSite> ReadSearchSites(const IProfile& defineIni) {
  std::vector<SearchSite> sites;
  for (uint32_t number = 1;; ++number) {
    const Text section = u"search" + UnsignedDecimalText(number);
    SearchSite site{defineIni.ReadString(section, u"face", u""), defineIni.ReadString(section, u"html", u""),
                    defineIni.ReadString(section, u"rss", u"")};
    if (site.face.empty() || site.pageTemplate.empty() || site.feedTemplate.empty()) break;
    sites.push_back(std::move(site));
  }
  return sites;
}

// The encoded keyword is ASCII without "/", so a replacement never forms a marker of its own.
Text BuildSearchUrl(TextView urlTemplate, TextView keyword) {
  Text url(urlTemplate);
  const auto utf8 = [](TextView k) { return std::optional<std::string>(ToUtf8(k)); };
  if (!ReplaceMarker(url, kUtf8Marker, keyword, utf8)) return Text();
  if (!ReplaceMarker(url, kEucMarker, keyword, EucJpBytes)) return Text();
  if (!ReplaceMarker(url, kShiftJisMarker, keyword, ToSystemCodePage)) return Text();
  return url;
}
