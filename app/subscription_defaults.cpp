#include "app/subscription_defaults.h"

namespace {
constexpr char16_t kSection[] = u"Subscription";
}

SubscriptionDefaults ReadSubscriptionDefaults(const IProfile& defineIni) {
  SubscriptionDefaults defaults;
  defaults.defaultListUrl =
      Trim(defineIni.ReadString(kSection, u"DefaultList", defaults.defaultListUrl, kProfileLongValueChars));
  defaults.auctionHostFragment =
      Trim(defineIni.ReadString(kSection, u"AuctionHost", defaults.auctionHostFragment));
  defaults.browserAgentFragment =
      Trim(defineIni.ReadString(kSection, u"BrowserAgentHost", defaults.browserAgentFragment));
  return defaults;
}
