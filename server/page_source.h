// What the local server's routes and pages read of the running program, so that routing and
// rendering stay portable and are tested over a tree of the test's own.
#pragma once

#include <vector>

#include "store/settings.h"
#include "store/item_id.h"
#include "store/item_tree.h"
#include "util/text.h"

class IPageSource {
 public:
  virtual ~IPageSource() = default;

  // The top-level folders, and a folder's sites, by id in tree order.
  virtual std::vector<ItemId> TopLevelFolderIds() const = 0;
  virtual std::vector<ItemId> ChildIds(ItemId folder) const = 0;
  // Null when the id names nothing.
  virtual CItemBase* ItemFromId(ItemId id) const = 0;

  virtual const CSettings& Settings() const = 0;
  // The whitelist for article bodies, read afresh from define.ini for every page.
  virtual Text BodyWhitelist() const = 0;
  // Whether the item's stored page file (the with-new form) exists.
  virtual bool PageFileExists(ItemId id) const = 0;

  // Reading a page: the item and everything below it lose their news (flags, and the bodies of
  // new articles), and the notification pop-up is closed.
  virtual void MarkRead(ItemId id) = 0;
};
