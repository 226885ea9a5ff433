// Registering a site from an address or a file: the add-site dialog, the download with its
// authentication questions, and what a feed or an OPML list becomes in the tree.
#include "ui/child_view_win.h"

#include <algorithm>
#include <ctime>

#include "check/feed_parser.h"
#include "check/fetch_rules.h"
#include "check/http_transfer_win.h"
#include "check/site_registration.h"
#include "shared/names.h"
#include "store/data_file_win.h"
#include "store/password_protection.h"
#include "ui/site_dialogs_win.h"
#include "ui/transfer_progress_win.h"
#include "util/file_io_win.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

namespace {

constexpr char16_t kUnrecognisedMessage[] = u"通信に失敗したか、RSS/ATOM/OPMLとして認識できないデータでした。";
constexpr char16_t kTooLargeListMessage[] = u"OPMLの項目が多すぎるため読み込めませんでした。一度に読み込めるのは10,000項目までです。";

int Ask(HWND owner, const Text& text, UINT buttons) {
  return ::MessageBoxW(owner, W(text), W(kApplicationTitle), buttons);
}

Text WithReason(const Text& reason) {
  Text message = kUnrecognisedMessage;
  if (!reason.empty()) message += u"\n\nシステムメッセージ：\n" + reason;
  return message;
}

Text XmlErrorText(const XmlLoadError& error) {
  if (error.reason.empty() && error.line == 0) return {};
  return error.reason + u"(line:" + UnsignedDecimalText(error.line) + u", pos:" +
         UnsignedDecimalText(error.column) + u")";
}

}  // namespace

// The download runs while the program goes on serving (checks, the local server); the tree may
// change meanwhile, so the destination is held by id and found again when the answer is in.
void CChildView::AddFromUrl(TextView text, ItemId node, bool first) {
  // A drop or a paste while a registration waits for its download starts no second one.
  if (registering_) return;
  const std::optional<Placement> placement = PlacementFor(node, first);
  if (!placement) return;
  const HWND owner = ::GetParent(hwnd());
  registering_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{registering_};

  AddSiteDialogData dialog;
  dialog.url = text;
  for (const auto& top : folders_) dialog.folderNames.push_back(top->title);
  if (!RunAddSiteDialog(owner, instance_, dialog)) return;
  ItemId folderId = placement->folder;
  ItemId afterId = placement->after;
  if (dialog.target > 0 && static_cast<size_t>(dialog.target) <= folders_.size()) {
    folderId = IdOfItem(folders_[static_cast<size_t>(dialog.target) - 1].get());
    afterId = 0;
  }
  const Text url(Trim(dialog.url));
  if (url.empty()) return;

  if (IsRegisteredUrl(folders_, url)) {
    Text question = u"%s は重複登録となりますが、よろしいですか?";
    ReplaceAll(question, u"%s", url);
    if (Ask(owner, question, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  }

  FetchRequest request;
  request.url = url;
  request.proxy = settings_.proxy;
  request.proxyPassword = UnprotectText(settings_.proxy.protectedPass);
  request.headers = ScheduledHeaders(u"", u"", false, url, subscriptionDefaults_.browserAgentFragment);
  Text user, password, reason;
  bool abandoned = false;
  const auto transfer = [&](const FetchRequest& attempt) -> std::optional<FetchResult> {
    WaitedTransfer waited = RunTransferWithProgress(owner, instance_, attempt);
    abandoned = waited.end != TransferEnd::kAnswered;
    return std::move(waited.result);
  };
  const auto fetched = FetchThrough(transfer, request, &reason, [&](Text& requestUser, Text& requestPassword) {
    UserDialogData credentials;
    credentials.user = requestUser;
    if (!RunUserDialog(owner, instance_, credentials)) return false;
    requestUser = user = credentials.user;
    requestPassword = password = credentials.password;
    return true;
  });
  // 中止 ends the registration as if it had never started; at the program's end nothing is
  // touched any more.
  if (abandoned) return;

  // A destination folder deleted meanwhile ends the registration, as a missing target does; a
  // site to follow that went leaves the new one first in its folder.
  CFolderItem* folder = nullptr;
  if (folderId) {
    CItemBase* item = ItemFromId(folderId);
    if (!item || item->kind != CItemBase::kKindFolder) return;
    folder = static_cast<CFolderItem*>(item);
  }
  const CItemBase* after = afterId ? ItemFromId(afterId) : nullptr;
  if (after && after->Parent() != folder) after = nullptr;

  std::optional<XmlElement> root;
  if (fetched) {
    XmlLoadError error;
    root = LoadXmlDocument(fetched->body, &error);
    if (!root) reason = XmlErrorText(error);
  }
  if (root && DetectFeedFormat(*root) != FeedFormat::kNone) {
    const Text src = fetched->location.empty() ? url : fetched->location;
    auto articles = ParseFeed(*root, src, static_cast<size_t>(settings_.loadItem));
    if (articles) return AddFetchedFeed(url, *fetched, std::move(articles), user, password, folder, after);
  }
  if (root) {
    if (auto list = ReadOpml(*root)) {
      if (list->tooLarge) return (void)Ask(owner, kTooLargeListMessage, MB_OK | MB_ICONERROR);
      // A list from the web names web feeds only; a file the user picked may name files.
      if (IsHttpUrl(url)) KeepWebSitesOnly(list->items);
      return AddFetchedOpml(url, *fetched, *list, user, password, folder, after);
    }
  }
  Ask(owner, WithReason(reason), MB_OK | MB_ICONERROR);
}

// Where a registration for `node` goes: its folder and the site to follow, by id (0: none).
// Nullopt when the tree has folders and the node is none of them or their sites.
std::optional<CChildView::Placement> CChildView::PlacementFor(ItemId node, bool first) const {
  if (folders_.empty()) return Placement{};
  CItemBase* item = ItemFromId(node);
  if (!item) return std::nullopt;
  if (item->kind == CItemBase::kKindSite) {
    CFolderItem* folder = item->Parent();
    if (!folder) return std::nullopt;
    return Placement{IdOfItem(folder), first ? 0 : node};
  }
  if (item->kind == CItemBase::kKindFolder) return Placement{node, 0};
  return std::nullopt;
}

void CChildView::AddFetchedFeed(const Text& url, const FetchResult& fetched,
                                std::unique_ptr<CRssItemArray> articles, const Text& user,
                                const Text& password, CFolderItem* folder, const CItemBase* after) {
  SiteRegistration registration;
  registration.enteredUrl = url;
  registration.redirectTarget = fetched.location;
  registration.user = user;
  // Bound to the address the site will be checked at, which a redirect has changed.
  registration.protectedPass =
      password.empty() ? Text() : ProtectSitePassword(password, RegisteredSrc(registration), settings_.protectedPassPhrase);
  registration.lastModified = fetched.lastModified;
  registration.etag = fetched.etag;
  registration.auctionHostFragment = subscriptionDefaults_.auctionHostFragment;
  registration.now = static_cast<int64_t>(std::time(nullptr));
  BackUpDataFile();
  if (!folder) {
    auto created = std::make_unique<CFolderItem>();
    created->title = kNewFolderTitle;
    CRssSiteItem* site = static_cast<CRssSiteItem*>(
        InsertChildAfter(*created, MakeRegisteredSite(registration, std::move(articles), *created), nullptr));
    SetSiteNewFlag(*site, true, true);
    AppendFolder(std::move(created));
    SelectAndShowItem(IdOfItem(site));
  } else {
    CItemBase* site = InsertChildAfter(*folder, MakeRegisteredSite(registration, std::move(articles), *folder), after);
    SetSiteNewFlag(static_cast<CRssSiteItem&>(*site), true, true);
    SelectAndShowItem(AddSiteNode(*site));
  }
}

// A list on the web may be followed instead of copied; a file is always copied.
void CChildView::AddFetchedOpml(const Text& url, const FetchResult& fetched, const OpmlDocument& list,
                                const Text& user, const Text& password, CFolderItem* folder,
                                const CItemBase* after) {
  const HWND owner = ::GetParent(hwnd());
  if (IsHttpUrl(url)) {
    Text question =
        u"「%s」はOPMLデータです。登録方法を選択してください。\n\n[はい] サイトとして登録する（通常のインポート）\n[いいえ] 常にOPMLの内容と同期するフォルダとして登録する";
    ReplaceAll(question, u"%s", list.title);
    const int answer = Ask(owner, question, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return;
    if (answer == IDNO) {
      BackUpDataFile();
      auto synced = std::make_unique<CFolderItem>();
      synced->src = fetched.location.empty() ? url : fetched.location;
      synced->orgSrc = url;
      synced->title = list.title.empty() ? url : list.title;
      synced->user = user;
      if (!password.empty()) synced->pass = ProtectSitePassword(password, synced->src, settings_.protectedPassPhrase);
      synced->lastModified = fetched.lastModified;
      synced->etag = fetched.etag;
      const ItemId id = IdOfItem(AppendFolder(std::move(synced)));
      SelectAndShowItem(id);
      (void)SyncFolder(id, list.items, true, true);
      return;
    }
  }
  BackUpDataFile();
  const OpmlImport imported = ImportOpmlList(folder, after, list.items);
  if (!imported.sites.empty()) SelectAndShowItem(IdOfItem(imported.sites.front()));
}

OpmlImport CChildView::ImportOpmlList(CFolderItem* folder, const CItemBase* after, const std::vector<OpmlOutline>& items) {
  OpmlImport imported = ImportOpmlItems(folders_, folder, after, items);
  for (CFolderItem* created : imported.folders) AddFolderNodes(*created);
  if (folder) AddMissingNodes(*folder);
  return imported;
}

void CChildView::BackUpDataFile() {
  ::CreateDirectoryW(W(directories_.data), nullptr);
  (void)SaveDataFile(directories_.data + kDataBackupFileName, folders_);
}
