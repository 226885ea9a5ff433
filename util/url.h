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

// Whether a browser would take `host`, as it stands in an address, to mean this computer:
// "localhost" and its subdomains, 127.0.0.0/8 and 0.0.0.0/8 in every IPv4 spelling a browser
// accepts (decimal, hexadecimal or octal parts, fewer than four parts, a trailing dot), after
// percent escapes and full-width forms are read as a browser reads them. IPv6 literals and
// hosts a browser would refuse count as this computer too: no feed needs them, and every
// spelling of the loopback address would otherwise have to be known.
bool IsThisComputerHost(TextView host);

// Whether text from a feed may stand as a link or a source in a page this program serves from
// this computer: an absolute address of a known scheme other than file:, whose http, https or
// ftp form has its "//" and names no host of this computer, or a reference to a place in the
// page itself ("#name"). A relative address would resolve against the local server.
bool IsForeignUrl(TextView url);

// Whether an address is one of the web: http:, https: or feed: (any letter case). Sites that
// arrive from the network get nothing else, since anything else is read as a local path.
bool IsWebAddress(TextView url);

// Makes `reference` absolute against an http or https `base`. A reference that is itself
// absolute comes back unchanged when its scheme is known, and empty when the scheme is unknown
// (javascript:, vbscript:, data: ...) or file:. Blanks and control characters around either
// text are ignored.
Text ResolveUrl(TextView base, TextView reference);
