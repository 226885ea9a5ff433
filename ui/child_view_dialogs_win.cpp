// The options, the property sheets of sites and folders, and registering a search result feed.
#include "ui/child_view_win.h"

#include "app/private_messages.h"
#include "shared/startup_shortcut_win.h"
#include "store/password_protection.h"
#include "store/profile_file.h"
#include "ui/item_property_sheets_win.h"
#include "ui/item_statistics.h"
#include "ui/options_sheet_win.h"
#include "ui/search_site_dialog_win.h"
#include "util/wide_win.h"

namespace {

// Seconds since 1970 (UTC) in the user's own short date and time forms.
Text LocalTimeText(int64_t secondsSince1970) {
  constexpr int64_t kEpochDifference = 11644473600LL;  // 1601 to 1970, in seconds
  constexpr int64_t kTicksPerSecond = 10000000LL;
  constexpr int64_t kLastSecond = 253402300799LL;  // 9999-12-31 23:59:59, the last the platform writes
  if (secondsSince1970 <= 0 || secondsSince1970 > kLastSecond) return Text();
  const uint64_t ticks = static_cast<uint64_t>((secondsSince1970 + kEpochDifference) * kTicksPerSecond);
  const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME universal{}, local{};
  if (!::FileTimeToSystemTime(&utc, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
    return Text();
  wchar_t date[128] = {}, time[128] = {};
  if (!::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 128) ||
      !::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, 128))
    return Text();
  return FromWide(date) + u" " + FromWide(time);
}

Text PropertiesCaption(const CItemBase& item) { return item.GetTitle() + u"のプロパティ"; }

}  // namespace

void CChildView::ShowOptions() {
  const HWND frame = ::GetParent(hwnd());
  OptionsForm form = FormFromSettings(settings_, UnprotectText(settings_.proxy.protectedPass),
                                      UnprotectText(settings_.protectedPassPhrase));
  form.startup = StartupShortcutExists();
  const Text oldPassPhrase = form.passPhrase;
  if (!RunOptionsSheet(frame, instance_, form)) return;

  ApplyOptionsForm(form, settings_);
  settings_.proxy.protectedPass = ProtectText(form.proxyPassword);
  if (form.passPhrase != oldPassPhrase) ChangePassPhrase(form.passPhrase);
  (void)(form.startup ? WriteStartupShortcut(directories_.program) : DeleteStartupShortcut());
  ::PostMessageW(frame, kMsgRefreshAlpha, 0, 0);
  RestartCheckTimers(0);
}

// Stored site passwords are protected with the pass phrase: each is protected again with the
// new one, or it would never come back.
void CChildView::ChangePassPhrase(const Text& passPhrase) {
  const Text oldPhrase = settings_.protectedPassPhrase;
  const Text newPhrase = ProtectText(passPhrase);
  const auto reprotect = [&](CItemBase& item) {
    if (item.pass.empty()) return;
    const Text clear = UnprotectSitePassword(item.pass, item.src, oldPhrase);
    const Text oldKey = UniqueKey(item);
    item.pass = clear.empty() ? Text() : ProtectSitePassword(clear, item.src, newPhrase);
    if (item.kind != CItemBase::kKindSite) return;
    if (const ItemId id = IdOfItem(&item)) ResubscribeSite(id, oldKey);
  };
  for (const auto& folder : folders_) {
    reprotect(*folder);
    for (const auto& child : folder->Children()) reprotect(*child);
  }
  settings_.protectedPassPhrase = newPhrase;
}

void CChildView::ShowItemProperties() {
  const ItemId id = SelectedItemId();
  const CItemBase* item = ItemFromId(id);
  if (!item) return;
  if (item->kind == CItemBase::kKindSite)
    EditSiteProperties(id);
  else
    EditFolderProperties(id);
}

// The sheet is modal but checks, the local server and list synchronisation go on meanwhile: the
// item is looked up again by its id once the sheet has closed.
void CChildView::EditSiteProperties(ItemId id) {
  const auto* site = static_cast<const CRssSiteItem*>(ItemFromId(id));
  const Text phrase = settings_.protectedPassPhrase;
  SiteSheetData data;
  data.form = SiteFormFrom(*site, UnprotectSitePassword(site->pass, site->src, phrase));
  data.link = site->link;
  data.statistics = StatisticsText(*site, LocalTimeText(site->updateTime), true);
  const ItemSourceFields before = data.form.source;
  if (!RunSiteSheet(::GetParent(hwnd()), instance_, PropertiesCaption(*site), data)) return;

  CItemBase* item = ItemFromId(id);
  if (!item || item->kind != CItemBase::kKindSite) return;
  ApplySourceOfSite(id, *item, before, data.form.source);
  ApplySiteFlags(data.form, static_cast<CRssSiteItem&>(*item));
  item->SetTitle(data.form.title);
  SetNodeText(id, item->GetTitle());
  RefreshItemImage(id);
}

void CChildView::EditFolderProperties(ItemId id) {
  const auto* folder = static_cast<const CFolderItem*>(ItemFromId(id));
  FolderSheetData data;
  data.form = FolderFormFrom(*folder, UnprotectSitePassword(folder->pass, folder->src, settings_.protectedPassPhrase));
  data.statistics = StatisticsText(*folder, LocalTimeText(folder->updateTime), false);
  const std::optional<ItemSourceFields> before = data.form.source;
  if (!RunFolderSheet(::GetParent(hwnd()), instance_, PropertiesCaption(*folder), data)) return;

  CItemBase* item = ItemFromId(id);
  if (!item || item->kind != CItemBase::kKindFolder) return;
  auto& edited = static_cast<CFolderItem&>(*item);
  ApplyFolderForm(data.form, edited, settings_.timer);
  if (before && data.form.source) ApplySourceOfSite(id, edited, *before, *data.form.source);
  edited.SetTitle(data.form.title);
  SetNodeText(id, edited.GetTitle());
  RefreshItemImage(id);
}

// A changed address or credentials: a check under way for the old ones is dropped, and a site
// moves to its new subscription.
void CChildView::ApplySourceOfSite(ItemId id, CItemBase& item, const ItemSourceFields& before,
                                   const ItemSourceFields& after) {
  const Text oldKey = UniqueKey(item);
  const Text phrase = settings_.protectedPassPhrase;
  const auto protect = [&phrase](TextView password, TextView src) { return ProtectSitePassword(password, src, phrase); };
  if (!ApplySourceFields(item, before, after, protect)) return;
  if (IsCheckRunning(id)) {
    EndCheck(id);
    StartChecks();
  }
  if (item.kind == CItemBase::kKindSite) ResubscribeSite(id, oldKey);
}

void CChildView::AddSearchSite() {
  const HWND frame = ::GetParent(hwnd());
  ::SendMessageW(frame, WM_COMMAND, ID_SHOW_MAIN_WINDOW, 0);
  SearchSiteDialogData data;
  data.sites = ReadSearchSites(CIniFile(directories_.program + kDefineIniFileName));
  data.preview = [this](const Text& url) { OpenInBrowser(url); };
  if (!RunSearchSiteDialog(frame, instance_, data)) return;
  AddFromUrl(data.feedUrl, SelectedItemId(), false);
}
