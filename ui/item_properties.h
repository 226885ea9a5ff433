// The property sheets of a site and of a folder as plain values: what they show of an item and
// what their OK writes back to it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "store/item_tree.h"
#include "util/text.h"

// An item's address with its credentials; the password in clear.
struct ItemSourceFields {
  Text src;
  Text user;
  Text password;
  bool operator==(const ItemSourceFields&) const = default;
};

struct SiteForm {
  Text title;
  ItemSourceFields source;
  bool compareDate = true;
  bool noCheck = false;
};

struct FolderForm {
  Text title;
  bool ownInterval = false;  // 個別に設定する
  bool periodic = true;      // 一定時間ごとに更新する
  int32_t minutes = 30;
  bool filterOn = false;
  int32_t anyKeyword = 0;  // list indices, each one bit of the filter mode
  int32_t include = 0;
  int32_t hideFromNews = 0;
  bool searchTitle = true;
  bool searchBody = true;
  bool searchLink = false;
  bool searchCreator = false;
  Text keywords;
  std::optional<ItemSourceFields> source;  // synchronised folders only
};

// Protects a site password for a src (the password is bound to it).
using PasswordProtector = std::function<Text(TextView password, TextView src)>;

SiteForm SiteFormFrom(const CRssSiteItem& site, TextView password);
FolderForm FolderFormFrom(const CFolderItem& folder, TextView password);

// Writes a changed address or credentials: the password is kept, protected for the new src,
// only with a user name. False when nothing changed, and then the stored texts stay as they are.
bool ApplySourceFields(CItemBase& item, const ItemSourceFields& before, const ItemSourceFields& after,
                       const PasswordProtector& protect);
// Everything of the site sheet but its source fields and its title.
void ApplySiteFlags(const SiteForm& form, CRssSiteItem& site);
// Everything of the folder sheet but its source fields and its title. The interval is only
// written while periodic checks are on (`globalTimer` not 0).
void ApplyFolderForm(const FolderForm& form, CFolderItem& folder, int32_t globalTimer);
