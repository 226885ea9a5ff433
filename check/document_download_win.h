// A blocking download of one small document (the default subscription list) over WinINet.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "util/text.h"

// A document larger than this is refused rather than read into memory.
inline constexpr std::size_t kMaxDownloadBytes = std::size_t(32) << 20;

// The body of a 200 answer to a GET of an http or https `url`; nullopt on any failure, another
// status, a body over kMaxDownloadBytes, or after `timeoutMilliseconds` per network step.
std::optional<std::string> DownloadDocument(const Text& url, unsigned long timeoutMilliseconds);
