#include "ui/item_properties.h"

namespace {

constexpr int32_t kDefaultMinutes = 30;  // shown while a folder has no interval of its own

// Filter mode bits.
constexpr int32_t kFilterOn = 1;
constexpr int32_t kFilterAnyKeyword = 2;
constexpr int32_t kFilterInclude = 4;
constexpr int32_t kFilterHideFromNews = 8;
// Filter field bits.
constexpr int32_t kSkipTitle = 1;
constexpr int32_t kSkipBody = 2;
constexpr int32_t kSearchLink = 4;
constexpr int32_t kSearchCreator = 8;

bool Has(int32_t bits, int32_t bit) { return (bits & bit) != 0; }
int32_t Bit(bool set, int32_t bit) { return set ? bit : 0; }

ItemSourceFields SourceOf(const CItemBase& item, TextView password) {
  return {item.src, item.user, Text(password)};
}

}  // namespace

SiteForm SiteFormFrom(const CRssSiteItem& site, TextView password) {
  return {site.title, SourceOf(site, password), site.compareDate != 0, site.noCheck == 1};
}

FolderForm FolderFormFrom(const CFolderItem& folder, TextView password) {
  FolderForm f;
  f.title = folder.title;
  f.ownInterval = folder.interval != -1;
  f.periodic = folder.interval != 0;
  f.minutes = folder.interval > 0 ? folder.interval : kDefaultMinutes;
  f.filterOn = Has(folder.filterMode, kFilterOn);
  f.anyKeyword = Has(folder.filterMode, kFilterAnyKeyword) ? 1 : 0;
  f.include = Has(folder.filterMode, kFilterInclude) ? 1 : 0;
  f.hideFromNews = Has(folder.filterMode, kFilterHideFromNews) ? 1 : 0;
  f.searchTitle = !Has(folder.filterFields, kSkipTitle);
  f.searchBody = !Has(folder.filterFields, kSkipBody);
  f.searchLink = Has(folder.filterFields, kSearchLink);
  f.searchCreator = Has(folder.filterFields, kSearchCreator);
  f.keywords = folder.filterKeywords;
  if (SourceKind(folder) == 2) f.source = SourceOf(folder, password);
  return f;
}

// The stored validators belong to the old address: the new one is asked unconditionally.
bool ApplySourceFields(CItemBase& item, const ItemSourceFields& before, const ItemSourceFields& after,
                       const PasswordProtector& protect) {
  if (before == after) return false;
  if (item.src != after.src) {
    item.lastModified.clear();
    item.etag.clear();
  }
  item.src = after.src;
  item.user = after.user;
  item.pass = after.user.empty() ? Text() : protect(after.password, after.src);
  return true;
}

void ApplySiteFlags(const SiteForm& form, CRssSiteItem& site) {
  site.compareDate = form.compareDate ? 1 : 0;
  site.noCheck = form.noCheck ? 1 : 0;
}

void ApplyFolderForm(const FolderForm& f, CFolderItem& folder, int32_t globalTimer) {
  if (globalTimer != 0) folder.interval = !f.ownInterval ? -1 : !f.periodic ? 0 : f.minutes;
  folder.filterMode = Bit(f.filterOn, kFilterOn) | Bit(f.anyKeyword != 0, kFilterAnyKeyword) |
                      Bit(f.include != 0, kFilterInclude) | Bit(f.hideFromNews != 0, kFilterHideFromNews);
  folder.filterFields = Bit(!f.searchTitle, kSkipTitle) | Bit(!f.searchBody, kSkipBody) |
                        Bit(f.searchLink, kSearchLink) | Bit(f.searchCreator, kSearchCreator);
  folder.filterKeywords = f.keywords;
}
