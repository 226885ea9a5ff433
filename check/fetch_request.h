// One HTTP download as the scheduler and the immediate fetch describe it, and what comes back.
// Portable: the transfer itself runs on WinINet (check/http_transfer_win.h).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/settings.h"
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
  Text tempDirectory;         // where the body goes as "<dir><item>.tmp"; ends in a backslash
  uint32_t timeoutMilliseconds = 0;  // per network step; 0 leaves the library's own timeouts
};

struct FetchResult {
  uint32_t status = 0;     // HTTP status; 200 for a local file
  Text lastModified;       // the Last-Modified header, at most 255 characters
  Text file;               // the body's file, at most 260 characters
  Text location;           // the first redirect target, absolute, at most 1023 characters
  bool deleteAfter = false;  // the file is a temporary copy
};
