// Decisions around one download that need no platform: address forms, the local-file rule,
// request headers, proxy choice, redirects and the error code a check records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "store/settings.h"
#include "check/fetch_request.h"
#include "util/text.h"

// A decoded body larger than this ends the transfer without a result.
inline constexpr std::size_t kMaxBodyBytes = std::size_t(32) << 20;
// Redirects followed after the first request: three requests in all.
inline constexpr int kRedirectLimit = 2;
// The error code of a check that produced no result at all.
inline constexpr int32_t kNoResultErrorCode = 10000;
// The error code of a result whose status is no HTTP status.
inline constexpr int32_t kBadStatusErrorCode = 100;
// Feeds whose address contains this text are asked for with a browser's user agent. Empty:
// no feed is; a distributor that needs it sets the fragment here.
inline constexpr char16_t kBrowserAgentHostFragment[] = u"";

inline constexpr char16_t kBrowserUserAgentHeader[] =
    u"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
inline constexpr char16_t kOwnUserAgentHeader[] = u"User-Agent: pelun/1.06";

// "feed://host/x" becomes "http://host/x"; "feed:" at the very start (or after one stray
// character) is dropped, so "feed:https://host/x" becomes "https://host/x". Anything else
// comes back unchanged.
Text NormalizeFeedUrl(TextView url);

// True when the scheme is http or https, in any letter case.
bool IsHttpUrl(TextView url);

// The Windows path a non-http address names; nullopt for http and https addresses.
std::optional<Text> LocalFilePath(TextView url);

// The header lines (without line ends) of a scheduled check, in the order they are sent.
// Both validators of the last answer are sent back: many servers honour only one of them.
std::vector<Text> ScheduledHeaders(TextView lastModified, TextView etag, bool forceReload, TextView url,
                                   TextView browserAgentFragment);

// What a check records: kNoResultErrorCode without a result, the status when it is 100-999,
// kBadStatusErrorCode for any other nonzero status, 0 for a result without status.
int32_t CheckErrorCode(const std::optional<FetchResult>& result);

enum class ProxyAccess { kSystem, kDirect, kNamed };

struct ProxyChoice {
  ProxyAccess access = ProxyAccess::kSystem;
  Text server;  // "host:port" for kNamed, empty otherwise
};

// A proxy given in the settings is used only when it names a host and a port; otherwise the
// system's settings apply, exactly as when none was given.
ProxyChoice ChooseProxy(const CProxySettings& proxy);

bool IsRedirectStatus(uint32_t status);

// Runs `transferOnce` on `url` and, while it answers with a redirect, on the redirect target,
// at most kRedirectLimit more times. Every result after the first redirect reports the first
// redirect's target as its location, so a check can tell where the feed went first. A redirect
// to anything but http or https ends the transfer without a result.
std::optional<FetchResult> TransferWithRedirects(
    const Text& url, const std::function<std::optional<FetchResult>(const Text& url)>& transferOnce);
