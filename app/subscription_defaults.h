// Fixed configuration of the subscriptions, read from section "Subscription" of define.ini so
// that a distributor can change it without a new build.
#pragma once

#include "store/profile.h"
#include "util/text.h"

struct SubscriptionDefaults {
  // The OPML list imported on a first start; empty: only the bundled default.opml is used.
  Text defaultListUrl;
  // Feeds whose address contains this text rewrite their article dates on every change of an
  // item (auction listings), so their articles are compared without dates.
  Text auctionHostFragment = u"auctions.yahoo.co.jp";
  // Feeds whose address contains this text are asked for with a browser's user agent, for
  // servers that refuse others; empty: never.
  Text browserAgentFragment;
};

SubscriptionDefaults ReadSubscriptionDefaults(const IProfile& defineIni);
