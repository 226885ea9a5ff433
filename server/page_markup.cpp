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

// Only web addresses of other computers: the page comes from the local server, against which a
// relative address would resolve.
bool IsAllowedFeedUrl(TextView url) {
  const auto parts = ParseAbsoluteUrl(url);
  return parts && (parts->scheme == u"http" || parts->scheme == u"https" || parts->scheme == u"ftp") &&
         IsForeignUrl(url);
}

}  // namespace

// References are escaped too: "&#106;avascript:" must reach the browser as literal text.
Text SafeHref(TextView url) {
  TextView trimmed = Trim(url);
  if (!IsAllowedFeedUrl(trimmed)) return Text();
  return EscapeAttribute(trimmed);
}
