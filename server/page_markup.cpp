#include "server/page_markup.h"

#include "util/text_escape.h"

#include "util/url.h"

const Text* ResolveBodyWhitelist(TextView configured, Text& storage) {
  if (configured == u"*") return nullptr;
  storage = configured.empty() ? Text(kDefaultBodyWhitelist) : Text(configured);
  return &storage;
}

Text CommonHead(TextView titleLine) {
  Text head =
      u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\">\n"
      u"<html>\n<head>\n"
      u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n"
      u"<meta http-equiv=\"Pragma\" content=\"no-cache\" />\n"
      u"<meta http-equiv=\"Cache-Control\" content=\"no-cache\" />\n";
  head += titleLine;
  head +=
      u"<link rel=\"stylesheet\" href=\"./common.css\" type=\"text/css\" />\n"
      u"<link rel=\"stylesheet\" href=\"./custom.css\" type=\"text/css\" />\n";
  return head;
}

namespace {

// A browser drops surrounding blanks and ignores tabs and line breaks inside an address before
// it looks for the scheme, so a relative-looking value may still name one. Relative is only
// what cannot hold a scheme: no colon before the first "/", "?" or "#", no control character.
bool IsAllowedFeedUrl(TextView url) {
  if (auto parts = ParseAbsoluteUrl(url))
    return parts->scheme == u"http" || parts->scheme == u"https" || parts->scheme == u"ftp";
  for (char16_t c : url)
    if (c < 0x20 || c == 0x7F) return false;
  TextView head = url.substr(0, url.find_first_of(u"/?#"));
  return head.find(u':') == TextView::npos;
}

}  // namespace

// References are escaped too: "&#106;avascript:" must reach the browser as literal text.
Text SafeHref(TextView url) {
  TextView trimmed = Trim(url);
  if (!IsAllowedFeedUrl(trimmed)) return Text();
  return EscapeAttribute(trimmed);
}
