// The check schedule of the view: timers, the waiting queue, the running checks and what their
// downloads do to the tree.
#include "ui/child_view_win.h"

#include <algorithm>
#include <ctime>
#include <cwchar>

#include "app/private_messages.h"
#include "store/profile_file.h"
#include "check/check_schedule.h"
#include "check/check_work_win.h"
#include "check/feed_parser.h"
#include "check/fetch_rules.h"
#include "check/merge_result.h"
#include "store/password_protection.h"
#include "util/date_time.h"
#include "util/wide_win.h"

namespace {

constexpr UINT_PTR kMinuteTimer = 1;
constexpr UINT_PTR kStartupTimer = 2;
constexpr UINT_PTR kPictureTimer = 3;
// Pictures that checks change are drawn together this long after the first change: a site
// that starts and ends in between costs the tree control nothing, and a cycle of hundreds of
// sites a few dozen redraws instead of three per site.
constexpr UINT kPictureMilliseconds = 100;
constexpr UINT kResumeDelayMilliseconds = 5000;
constexpr char16_t kReloadSection[] = u"Reload";
constexpr char16_t kReloadKey[] = u"last";

bool ShiftHeld() { return (::GetKeyState(VK_SHIFT) & 0x8000) != 0; }

double LocalNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return DateTimeFromFields({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

// The system's network state. Looked up at run time: the i686 tool chain has no import library
// for it, and a system without it, or one that cannot tell, is taken to be online.
bool NetworkIsAlive() {
  using IsNetworkAliveFunction = BOOL(WINAPI*)(LPDWORD);
  static const auto isNetworkAlive = []() -> IsNetworkAliveFunction {
    HMODULE library = ::LoadLibraryW(L"sensapi.dll");
    return library ? reinterpret_cast<IsNetworkAliveFunction>(::GetProcAddress(library, "IsNetworkAlive"))
                   : nullptr;
  }();
  if (!isNetworkAlive) return true;
  DWORD flags = 0;
  ::SetLastError(ERROR_SUCCESS);
  const bool alive = isNetworkAlive(&flags) != FALSE;
  return NetworkCountsAsUp(alive, alive ? 0 : ::GetLastError());
}

// Test runs can shorten the minute of the periodic timer (PELUN_MINUTE_MS), so that a schedule
// of 15 "minutes" can be watched in seconds.
UINT MinuteMilliseconds() {
  static const UINT minute = [] {
    wchar_t value[16] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"PELUN_MINUTE_MS", value, 16);
    const unsigned long asked = length > 0 && length < 16 ? std::wcstoul(value, nullptr, 10) : 0;
    return asked > 0 ? static_cast<UINT>(asked) : static_cast<UINT>(kMinuteMilliseconds);
  }();
  return minute;
}

}  // namespace

// Start-up: the first check after the network test, or straight to the periodic timer.
void CChildView::StartCheckTimers() {
  if (settings_.firstCheck != 0)
    RestartCheckTimers(static_cast<UINT>(settings_.delay) * 1000 + 2000);
  else
    RestartCheckTimers(0);
}

void CChildView::RestartCheckTimers(UINT startupDelay) {
  minuteCounter_ = 0;
  ::KillTimer(hwnd(), kStartupTimer);
  ::KillTimer(hwnd(), kMinuteTimer);
  if (settings_.timer != 0) ::SetTimer(hwnd(), kMinuteTimer, MinuteMilliseconds(), nullptr);
  if (startupDelay != 0) ::SetTimer(hwnd(), kStartupTimer, startupDelay, nullptr);
}

void CChildView::OnTimer(UINT_PTR id) {
  if (id == kStartupTimer) {
    if (!NetworkIsAlive()) return;  // asks again at the next tick
    ::KillTimer(hwnd(), kStartupTimer);
    CheckAll();
  } else if (id == kMinuteTimer) {
    OnMinute();
  } else if (id == kPictureTimer) {
    RefreshDuePictures();
  }
}

void CChildView::RefreshLater(ItemId id) {
  if (picturesDue_.empty() && !::SetTimer(hwnd(), kPictureTimer, kPictureMilliseconds, nullptr)) {
    RefreshItemImage(id);
    return;
  }
  picturesDue_.insert(id);
}

void CChildView::RefreshDuePictures() {
  ::KillTimer(hwnd(), kPictureTimer);
  const auto due = std::move(picturesDue_);
  picturesDue_.clear();
  for (ItemId id : due) RefreshItemImage(id);
}

void CChildView::OnMinute() {
  ++minuteCounter_;
  if (IsAutoSaveMinute(minuteCounter_, settings_.timer)) (void)SaveSettingsAndData();
  for (ItemId folder : ChildIds(0)) {
    const CItemBase* item = ItemFromId(folder);
    if (!item || !IsFolderDue(item->interval, minuteCounter_, settings_.timer)) continue;
    updatedCount_ = 0;
    CheckItem(folder, false, false, false);
  }
}

void CChildView::OnPowerBroadcast(WPARAM event) {
  switch (event) {
    case PBT_APMQUERYSUSPEND: ExitCleanUp(); break;
    case PBT_APMSUSPEND:
      ::KillTimer(hwnd(), kMinuteTimer);
      ::KillTimer(hwnd(), kStartupTimer);
      break;
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMEAUTOMATIC: RestartCheckTimers(kResumeDelayMilliseconds); break;
  }
}

void CChildView::CheckAll() {
  updatedCount_ = 0;
  subscriptions_.Clear();
  RestartCheckTimers(0);
  CIniFile settingsFile(SettingsPath());
  bool force = true;
  if (!ShiftHeld() &&
      IsRecentReloadStamp(settingsFile.ReadString(kReloadSection, kReloadKey, u""), LocalNow())) {
    force = false;
  } else {
    (void)settingsFile.WriteString(kReloadSection, kReloadKey, FormatStamp(LocalNow()));
  }
  CheckItem(0, force, false, false);
}

// Sites and folders whose own list must be read are queued; other folders pass their sites on.
void CChildView::CheckItem(ItemId id, bool force, bool recurse, bool manual) {
  if (id == 0) {
    for (ItemId folder : ChildIds(0)) CheckItem(folder, force, recurse, manual);
    return;
  }
  CItemBase* item = ItemFromId(id);
  if (!item) return;
  // A synchronised folder's own list is downloaded first; its sites follow the synchronisation.
  if (item->kind == CItemBase::kKindFolder && (recurse || SourceKind(*item) != 2)) {
    for (ItemId site : ChildIds(id)) CheckItem(site, force, false, manual);
    return;
  }
  Enqueue(id, *item, force, manual);
  StartChecks();
}

void CChildView::Enqueue(ItemId id, const CItemBase& item, bool force, bool manual) {
  if (checks_.IsWaiting(id) || checks_.Find(id) || !item.IsCheckable()) return;
  // A subscription downloaded moments ago is not fetched again; this node still receives its
  // next download. Folders' lists are no subscriptions.
  if (item.kind == CItemBase::kKindSite && !subscriptions_.Register(UniqueKey(item), id, ::GetTickCount() | 1u))
    return;
  checks_.Enqueue({id, force, manual});
}

void CChildView::StartChecks() {
  checks_.StartChecks({static_cast<size_t>(settings_.connection), settings_.limitUrls}, ::GetTickCount());
}

std::optional<Text> CChildView::AddressOf(ItemId id) const {
  const CItemBase* item = ItemFromId(id);
  if (!item) return std::nullopt;
  return item->src;
}

FetchRequest CChildView::BuildRequest(const CItemBase& item, bool force) const {
  FetchRequest request;
  request.url = item.src;
  request.user = item.user;
  request.password = UnprotectSitePassword(item.pass, item.src, settings_.protectedPassPhrase);
  request.proxy = settings_.proxy;
  request.proxyPassword = UnprotectText(settings_.proxy.protectedPass);
  request.headers = ScheduledHeaders(item.lastModified, item.etag, force, item.src,
                                     subscriptionDefaults_.browserAgentFragment);
  request.reload = force;
  return request;
}

std::unique_ptr<CheckWork> CChildView::StartWork(RunningCheck& check) {
  CItemBase* item = ItemFromId(check.item);
  if (!item) return nullptr;
  FetchRequest request = BuildRequest(*item, check.force);
  request.item = check.item;
  auto work = StartDownloadWork(std::move(request), hwnd(), kMsgTransferDone);
  if (!work) RecordFailure(*item, std::nullopt);
  return work;
}

void CChildView::CheckChanged(ItemId id) { RefreshLater(id); }

void CChildView::RecordFailure(CItemBase& item, const std::optional<FetchResult>& result) {
  ++item.checkCount;
  ++item.errorCount;
  item.errorCode = CheckErrorCode(result);
}

// The picture shows the outcome: news, an error, or the plain state.
void CChildView::EndCheck(ItemId id) { checks_.End(id); }

void CChildView::CancelCheck(ItemId id) { checks_.Cancel(id); }

// A permanent move: the new address is kept, and the password protected for it again, since a
// stored password only ever comes back for the address it was protected with.
void CChildView::MoveSubscription(ItemId id, CItemBase& item, const Text& location) {
  const Text phrase = settings_.protectedPassPhrase;
  const Text clear = UnprotectSitePassword(item.pass, item.src, phrase);
  const bool site = item.kind == CItemBase::kKindSite;
  if (site) subscriptions_.Unregister(UniqueKey(item), id);
  item.src = location;
  if (!clear.empty()) item.pass = ProtectSitePassword(clear, item.src, phrase);
  if (site) (void)subscriptions_.Register(UniqueKey(item), id, 0);
}

LRESULT CChildView::OnTransferDone(WPARAM itemParam, LPARAM resultParam) {
  const ItemId id = static_cast<ItemId>(itemParam);
  std::unique_ptr<FetchResult> owned(reinterpret_cast<FetchResult*>(resultParam));
  std::optional<FetchResult> result;
  if (owned) result = std::move(*owned);
  RunningCheck* check = checks_.Find(id);
  CItemBase* item = ItemFromId(id);
  if (!check || check->loading || !item) {
    if (check && !item) EndCheck(id);
    StartChecks();
    return 0;
  }
  const bool force = check->force;
  const bool manual = check->manual;
  if (result && !result->location.empty()) MoveSubscription(id, *item, result->location);
  if (result && result->status == 200) {
    check->lastModified = result->lastModified;
    check->etag = result->etag;
    if (StartLoading(*check, *item, std::move(result->body))) {
      StartChecks();  // the connection is free for the next site while this one loads
      return 0;
    }
    RecordFailure(*item, result);
    item->errorCode = CItemBase::kErrorXml;
  } else if (result && result->status == 304) {
    ++item->checkCount;
    item->errorCode = 0;
  } else {
    if (result && result->status == 410) {  // gone for good
      const Text oldKey = UniqueKey(*item);
      item->src.clear();
      ResubscribeSite(id, oldKey);
    }
    RecordFailure(*item, result);
  }
  EndCheck(id);
  // A list that could not be read leaves the folder as it is, and its sites are still checked.
  if (item->kind == CItemBase::kKindFolder) CheckItem(id, force, true, manual);
  StartChecks();
  return 0;
}

bool CChildView::StartLoading(RunningCheck& check, const CItemBase& item, std::string body) {
  DocumentReading reading;
  reading.as = item.kind == CItemBase::kKindFolder ? DocumentReading::As::kList : DocumentReading::As::kFeed;
  reading.url = item.src;
  reading.loadItem = static_cast<size_t>(settings_.loadItem);
  uint64_t ticket = 0;
  auto work = StartLoadWork(xmlLoader_, std::move(body), std::move(reading), check.item, hwnd(), kMsgXmlLoaded, &ticket);
  if (!work) return false;
  checks_.BeginLoading(check.item, std::move(work), ticket);
  return true;
}

LRESULT CChildView::OnXmlLoaded(WPARAM itemParam, LPARAM documentParam) {
  const ItemId id = static_cast<ItemId>(itemParam);
  std::unique_ptr<XmlLoadedDocument> loaded(reinterpret_cast<XmlLoadedDocument*>(documentParam));
  RunningCheck* check = checks_.Find(id);
  CItemBase* item = ItemFromId(id);
  if (!loaded || !check || !check->loading || check->loadTicket != loaded->ticket || !item) {
    StartChecks();
    return 0;
  }
  const Text lastModified = check->lastModified;
  const Text etag = check->etag;
  const bool force = check->force;
  const bool manual = check->manual;
  EndCheck(id);
  if (item->kind == CItemBase::kKindFolder) {
    OnFolderListLoaded(id, *item, std::move(loaded->list), lastModified, etag, force, manual);
  } else if (item->kind == CItemBase::kKindSite) {
    FeedReadResult& feed = loaded->feed;
    if (feed.articles)
      DistributeArticles(id, static_cast<CRssSiteItem&>(*item), std::move(feed.articles), lastModified, etag);
    else {
      ++item->checkCount;
      ++item->errorCount;
      item->errorCode = feed.errorCode;
      RefreshLater(id);
    }
  }
  StartChecks();
  return 0;
}

// The list read as OPML makes the folder follow it; an unreadable list keeps the sites (error
// 40000) and they are checked all the same.
void CChildView::OnFolderListLoaded(ItemId id, CItemBase& folder, std::optional<OpmlDocument> list,
                                    const Text& lastModified, const Text& etag, bool force, bool manual) {
  ++folder.checkCount;
  if (!list || list->tooLarge) {
    ++folder.errorCount;
    folder.errorCode = CItemBase::kErrorXml;
    CheckItem(id, force, true, manual);
    return;
  }
  folder.lastModified = lastModified;
  folder.etag = etag;
  folder.errorCode = 0;
  if (SyncFolder(id, list->items, force, manual)) {
    ++folder.updateCount;
    folder.updateTime = static_cast<int64_t>(std::time(nullptr));
  }
}

// Every site of the same subscription gets its own copy; the checked site gets the original.
void CChildView::DistributeArticles(ItemId id, CRssSiteItem& site,
                                    std::unique_ptr<CRssItemArray> articles, const Text& lastModified,
                                    const Text& etag) {
  const MergeOptions options{static_cast<size_t>(settings_.leftItem), settings_.updateTitle != 0,
                             static_cast<int64_t>(std::time(nullptr))};
  auto mergeInto = [&](ItemId target, CRssSiteItem& receiver, std::unique_ptr<CRssItemArray> copy) {
    const MergeOutcome outcome = MergeResult(receiver, std::move(copy), lastModified, etag, options);
    if (outcome.updated) ++updatedCount_;
    if (outcome.titleChanged) SetNodeText(target, receiver.title);
    RefreshLater(target);
  };
  if (const CUniqueURLItem* subscription = subscriptions_.Find(UniqueKey(site))) {
    for (ItemId other : subscription->nodes) {
      CItemBase* item = other == id ? nullptr : ItemFromId(other);
      if (item && item->kind == CItemBase::kKindSite)
        mergeInto(other, static_cast<CRssSiteItem&>(*item), articles->Clone());
    }
  }
  mergeInto(id, site, std::move(articles));
}

void CChildView::TimeoutScan() {
  const auto timedOut = checks_.TimedOut(::GetTickCount(), static_cast<uint32_t>(settings_.timeout) * 1000u);
  if (!timedOut) return;
  if (CItemBase* item = ItemFromId(*timedOut)) item->errorCode = CItemBase::kErrorTimeout;
  EndCheck(*timedOut);
  StartChecks();
}

void CChildView::StopChecks() { checks_.Stop(); }

void CChildView::CycleChanged(bool checking) {
  if (checking) {
    PostCheckingState(-1);
    return;
  }
  // The tree is up to date when the cycle is announced. Its last pictures still belong to the
  // cycle: reported as checking, they leave the tray's news state to the cycle's end, which
  // brings the notice. (Reported as idle, they would show the news picture first, and the end
  // would then find the tray already showing it and announce nothing.)
  struct Ending {
    bool& flag;
    explicit Ending(bool& f) : flag(f) { flag = true; }
    ~Ending() { flag = false; }
  };
  {
    const Ending ending(cycleEnding_);
    RefreshDuePictures();
  }
  PostCheckingState(static_cast<LPARAM>(updatedCount_));
}

void CChildView::PostCheckingState(LPARAM updated) {
  const bool checking = checks_.Checking() || cycleEnding_;
  ::PostMessageW(::GetParent(hwnd()), kMsgCheckingState, checking ? 1 : 0, updated);
}
