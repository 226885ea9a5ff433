// Absolute-URL parsing and the resolution of relative references against a base address.
#pragma once

#include <optional>

#include "util/text.h"

struct UrlParts {
  Text scheme;                // lower-case, without the colon
  Text host;                  // without user info; an IPv6 literal keeps its brackets
  int port = 0;               // the explicit port, else the scheme's default (0 when it has none)
  Text pathAndQuery;          // fragment removed; "/" when nothing follows the host
  bool hasAuthority = false;  // "//" follows the scheme
  bool knownScheme = false;   // http, https, ftp, gopher, telnet, nntp, news, mailto or file
};

// Accepts any text that begins with a syntactically valid scheme and a colon; scripting schemes
// parse too, but never as known ones. Fails on a port that is not a number up to 65535 and on
// an unclosed IPv6 bracket. Leading or trailing blanks make the text relative.
std::optional<UrlParts> ParseAbsoluteUrl(TextView url);

// Makes `reference` absolute against an http or https `base`. A reference that is itself
// absolute comes back unchanged when its scheme is known, and empty when the scheme is unknown
// (javascript:, vbscript:, data: ...) or file:. Blanks and control characters around either
// text are ignored.
Text ResolveUrl(TextView base, TextView reference);
