// One HTTP download as the scheduler and the immediate fetch describe it, and what comes back.
// Portable: the transfer itself runs on WinINet (check/http_transfer_win.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/settings.h"
#include "store/item_id.h"
#include "util/text.h"

struct FetchRequest {
  ItemId item = 0;        // the tree item being checked; 0 for an immediate fetch
  Text url;
  Text user;
  Text password;          // in clear, turned back from its protected form just before
  CProxySettings proxy;   // protectedPass stays protected; proxyPassword is the clear one
  Text proxyPassword;
  std::vector<Text> headers;  // header lines without line ends
  bool reload = false;        // forced reload: no-cache pragma
  uint32_t timeoutMilliseconds = 0;  // per network step; 0 leaves the library's own timeouts
};

// The body travels in memory, never through a file: a transfer that outlives its check (a
// blocked read cannot be interrupted) then leaves nothing behind, and no check waits on disk.
struct FetchResult {
  uint32_t status = 0;     // HTTP status; 200 for a local file
  Text lastModified;       // the Last-Modified header, at most 255 characters
  Text etag;               // the ETag header as sent (a weak tag keeps its "W/"), at most 255
  std::string body;        // a 200's document, at most kMaxBodyBytes; a local file's bytes
  Text location;           // the first redirect target, absolute, at most 1023 characters
};
