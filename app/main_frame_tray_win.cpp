// The tray side of the main window: the icon and its animation, the tray menu, and the
// notices of new articles.
#include "app/main_frame_win.h"

#include <objbase.h>

#include "app/notices_win.h"
#include "app/private_messages.h"
#include "app/resource.h"
#include "server/request_router.h"
#include "ui/top_folders_win.h"
#include "util/wide_win.h"

namespace {

// Fixed entries of the tray pop-up before which the folder entries go.
constexpr UINT kTrayFolderPosition = 5;
constexpr int kTrayPopupIndex = 1;

}  // namespace

// A single click opens the menu a second later, unless a double click came first.
void CMainFrame::OnTrayNotify(LPARAM event) {
  switch (static_cast<UINT>(event)) {
    case WM_LBUTTONDOWN: ::SetTimer(hwnd(), kSingleClickTimer, kSingleClickMilliseconds, nullptr); break;
    case WM_LBUTTONDBLCLK:
    case kMsgBalloonClicked:
      ::KillTimer(hwnd(), kSingleClickTimer);
      if (view_) view_->OpenNewArticles();
      break;
    case WM_RBUTTONUP: ShowTrayMenu(); break;
  }
}

void CMainFrame::ShowTrayMenu() {
  // With a dialog open the menu would act behind its back: show the dialog instead.
  if (IsDialogOpen()) {
    HWND active = ::GetLastActivePopup(hwnd());
    if (active && active != hwnd() && !IsNotice(active)) ::SetForegroundWindow(active);
    return;
  }
  unique_hmenu menus(::LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_POPUP_MENUS)));
  HMENU tray = menus ? ::GetSubMenu(menus.get(), kTrayPopupIndex) : nullptr;
  if (!tray || !view_) return;
  if (::IsWindowVisible(hwnd()) && !::IsIconic(hwnd())) ::DeleteMenu(tray, ID_SHOW_MAIN_WINDOW, MF_BYCOMMAND);

  const TrayFolderEntries entries = BuildTrayFolderEntries(TopFolderStates(*view_));
  trayFolders_ = view_->TopLevelFolderIds();
  unique_hmenu recent(::CreatePopupMenu());
  UINT position = kTrayFolderPosition;
  for (size_t p = 0; p < entries.folders.size(); ++p) {
    const TrayFolderEntry& entry = entries.folders[p];
    ::InsertMenuW(tray, position, MF_BYPOSITION | MF_STRING | (entry.command ? 0 : MF_GRAYED), entry.command,
                  W(entry.text));
    if (entry.isDefault) ::SetMenuDefaultItem(tray, position, TRUE);
    ++position;
    if (recent)
      ::InsertMenuW(recent.get(), static_cast<UINT>(p),
                    MF_BYPOSITION | MF_STRING | (entry.recentCommand ? 0 : MF_GRAYED), entry.recentCommand,
                    W(entry.recentText));
  }
  if (entries.anyRecent && recent) {
    // The tray pop-up owns the recent pop-up from here on.
    ::InsertMenuW(tray, position++, MF_BYPOSITION | MF_POPUP | MF_STRING,
                  reinterpret_cast<UINT_PTR>(recent.release()), L"最近表示したフォルダ");
  }
  if (!entries.folders.empty()) ::InsertMenuW(tray, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);

  BringToFront(hwnd());
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::TrackPopupMenu(tray, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
  // Without a message after the menu, it would not close when the user clicks elsewhere.
  ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

// Commands of the folder entries and of the recent pop-up of the last tray menu.
bool CMainFrame::OnTrayFolderCommand(UINT command) {
  const bool recent = command >= kTrayRecentFirst && command < kTrayRecentFirst + kTrayCommandSlots;
  const bool fresh = command >= kTrayFolderFirst && command < kTrayFolderFirst + kTrayCommandSlots;
  if (!recent && !fresh) return false;
  const size_t position = command - (recent ? kTrayRecentFirst : kTrayFolderFirst);
  if (!view_ || position >= trayFolders_.size()) return true;
  const ItemId id = trayFolders_[position];
  if (!view_->ItemFromId(id)) return true;  // deleted since the menu was shown
  const bool storedPage = recent || (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  view_->OpenInBrowser(ShowArticlesUrl(view_->Settings().portInUse, id, storedPage));
  return true;
}

// The view reports its check state, and at the end of a cycle the number of sites with news
// (below 1: only the icon is to be updated).
void CMainFrame::OnCheckingState(bool checking, LPARAM updatedSites) {
  if (!view_ || !tray_) return;
  const UINT icon = ChooseTrayIcon(checking, view_->FirstItemWithNew() != 0);
  if (icon == trayIconId_) return;
  if (static_cast<LONG_PTR>(updatedSites) < 1) {
    tray_->Change(icon);
    if (icon == kTrayIconIdle) {
      CloseNotifyPopup();
      CloseTicker();
    }
  } else {
    ::CoFreeUnusedLibraries();
    AnnounceNews(icon, static_cast<uint32_t>(updatedSites));
  }
  if (icon == kTrayIconChecking) ::SetTimer(hwnd(), kAnimationTimer, kAnimationMilliseconds, nullptr);
  trayIconId_ = icon;
  if (icon == kTrayIconNews) BroadcastToolbarState(newsMessage_, true);
  if (icon == kTrayIconIdle) BroadcastToolbarState(newsMessage_, false);
  if (ticker_ && ticker_->hwnd() && (icon == kTrayIconNews || icon == kTrayIconIdle))
    ::PostMessageW(ticker_->hwnd(), kMsgTickerNews, icon == kTrayIconNews ? 1 : 0, 0);
}

// The notice goes the way the user chose: balloon, pop-up, ticker, or the icon alone. The
// pop-up and the ticker, where they are chosen, may fall back to the system sound.
void CMainFrame::AnnounceNews(UINT icon, uint32_t updatedSites) {
  const CSettings& settings = view_->Settings();
  const NewsNotice notice = BuildNewsNotice(TopFolderStates(*view_), settings.notifyFolder != 0, updatedSites);
  const UINT balloonMilliseconds = static_cast<UINT>(settings.notifySec) * 1000u;
  switch (settings.notifyMyWindow) {
    case CSettings::kNotifyTicker:
      PlayNotifySound(settings.sound, directories_.program, true);
      tray_->Change(icon);
      CloseNotifyPopup();
      OpenTicker();
      break;
    case CSettings::kNotifyPopup:
      PlayNotifySound(settings.sound, directories_.program, true);
      tray_->Change(icon);
      CloseTicker();
      CloseNotifyPopup();
      OpenNotifyPopup(notice);
      break;
    case CSettings::kNotifyBalloon:
      PlayNotifySound(settings.sound, directories_.program, false);
      tray_->ChangeWithBalloon(icon, notice.text, notice.title, balloonMilliseconds);
      CloseNotifyPopup();
      CloseTicker();
      break;
    default:
      PlayNotifySound(settings.sound, directories_.program, false);
      tray_->Change(icon);
      CloseNotifyPopup();
      CloseTicker();
      break;
  }
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == kAnimationTimer) return OnAnimationTick();
  if (id == kSingleClickTimer) {
    ::KillTimer(hwnd(), kSingleClickTimer);
    ShowTrayMenu();
  }
}

// While checking, the icon alternates between its two pictures; every second picture also
// drives the check queue's timeout scan.
void CMainFrame::OnAnimationTick() {
  if (trayIconId_ != kTrayIconChecking || !tray_) {
    ::KillTimer(hwnd(), kAnimationTimer);
    animationShowsSecond_ = false;
    return;
  }
  animationShowsSecond_ = !animationShowsSecond_;
  tray_->Change(animationShowsSecond_ ? kTrayIconChecking2 : kTrayIconChecking);
  if (animationShowsSecond_ && view_) view_->TimeoutScan();
}

// The shell restarted: its tray has forgotten the entry.
void CMainFrame::OnTaskbarCreated() {
  if (tray_) tray_->Add(trayIconId_);
}

void CMainFrame::OpenNotifyPopup(const NewsNotice& notice) {
  auto popup = std::make_unique<CNotifyDlg>(view_->Settings(), directories_.program);
  if (popup->Show(hwnd(), instance_, notice.title, notice.text)) notifyPopup_ = std::move(popup);
}

// The ticker stays when it is already open: it walks on over the new articles by itself. One
// that is on its way out (it had found nothing more to show) is replaced.
void CMainFrame::OpenTicker() {
  if (ticker_ && ticker_->hwnd() && !ticker_->IsClosing()) return;
  if (ticker_ && ticker_->IsBusy()) return;  // it cannot go yet, and asks again when it can
  ticker_.reset();
  auto ticker = std::make_unique<CTickerDlg>(*view_, SettingsPath(), directories_.program);
  if (ticker->Create(hwnd(), instance_)) ticker_ = std::move(ticker);
}

void CMainFrame::CloseNotifyPopup(HWND requester) {
  if (!notifyPopup_ || (requester && requester != notifyPopup_->hwnd())) return;
  notifyPopup_.reset();
}

// A ticker in the middle of its own menu is closed once it has left it.
void CMainFrame::CloseTicker(HWND requester) {
  if (!ticker_ || (requester && requester != ticker_->hwnd())) return;
  if (ticker_->IsBusy()) return ticker_->CloseWhenIdle();
  ticker_.reset();
}

bool CMainFrame::IsNotice(HWND window) const {
  return window && ((notifyPopup_ && window == notifyPopup_->hwnd()) || (ticker_ && window == ticker_->hwnd()));
}

// After the options changed: the pop-up and the ticker take the new translucency.
void CMainFrame::OnRefreshAlpha() {
  if (notifyPopup_ && notifyPopup_->hwnd()) ::PostMessageW(notifyPopup_->hwnd(), kMsgRefreshAlpha, 0, 0);
  if (ticker_ && ticker_->hwnd()) ::PostMessageW(ticker_->hwnd(), kMsgRefreshAlpha, 0, 0);
}
