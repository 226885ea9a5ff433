#include "band/rss_toolbar_ctrl_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "band/band_module_win.h"
#include "band/dispatch_call_win.h"
#include "band/main_program_link_win.h"
#include "band/resource.h"
#include "util/nesting_guard_win.h"
#include "util/wide_win.h"

namespace {

// The product's home page; the about item and the articles button without the main program
// open it.
constexpr char16_t kHomePage[] = u"https://pelun.example/";
constexpr int kImageSize = 16;
constexpr int kImageCount = 4;
constexpr COLORREF kTransparent = RGB(192, 192, 192);
enum ButtonImage { kNoFeedImage = 0, kFeedImage = 1, kNoNewsImage = 2, kNewsImage = 3 };
constexpr size_t kMaxToolTipChars = 79;
constexpr UINT_PTR kSubclassId = 1;

constexpr DWORD kToolbarStyle = WS_CHILD | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT | TBSTYLE_LIST | TBSTYLE_FLAT |
                                TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_TOP;

const wchar_t* ToolTipOf(UINT_PTR id) {
  if (id == IDC_ARTICLES_BUTTON) return L"pelun連携 - 記事を読む";
  if (id == IDC_FEED_BUTTON) return L"pelun連携 - RSSを追加する";
  return nullptr;
}

bool ShiftOrControlHeld() { return ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0; }

}  // namespace

bool CRssToolbarCtrl::Create(HWND rebar, com_ptr<IDispatch> browser) {
  Destroy();
  browser_ = std::move(browser);
  auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(rebar, GWLP_HINSTANCE));
  window_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kToolbarStyle, 0, 0, 0, 0, rebar, nullptr, instance,
                              nullptr);
  if (!window_) return false;
  if (!::SetWindowSubclass(window_, &SubclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    Destroy();
    return false;
  }
  rebar_ = rebar;
  const bool news = [] {
    std::optional<XmlElement> list = LoadFolderList();
    return list && FolderListHasNews(*list);
  }();
  AddButtons();
  SetButtonImage(IDC_ARTICLES_BUTTON, news ? kNewsImage : kNoNewsImage);
  catchWindow_ = std::make_unique<CNotifyCatchWnd>();
  if (!catchWindow_->Create(window_)) catchWindow_.reset();
  return true;
}

void CRssToolbarCtrl::AddButtons() {
  // A list of full colour depth: one made by ImageList_LoadImage keeps only 16 colours.
  images_.reset(::ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, kImageCount, 0));
  unique_hgdiobj bitmap(::LoadImageW(BandModule(), MAKEINTRESOURCEW(IDB_TOOLBAR_IMAGES), IMAGE_BITMAP, 0, 0,
                                     LR_CREATEDIBSECTION));
  if (images_ && bitmap) ::ImageList_AddMasked(images_.get(), static_cast<HBITMAP>(bitmap.get()), kTransparent);
  ::SendMessageW(window_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  const INT_PTR emptyText = ::SendMessageW(window_, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(L"\0"));
  ::SendMessageW(window_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[2] = {};
  buttons[0] = {kNoNewsImage, IDC_ARTICLES_BUTTON, TBSTATE_ENABLED, BTNS_DROPDOWN | BTNS_AUTOSIZE, {}, 0, emptyText};
  buttons[1] = {kNoFeedImage, IDC_FEED_BUTTON, TBSTATE_ENABLED, BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE, {}, 0, emptyText};
  ::SendMessageW(window_, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
  ::SendMessageW(window_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
}

void CRssToolbarCtrl::Destroy() {
  catchWindow_.reset();
  if (window_) {
    ::RemoveWindowSubclass(window_, &SubclassProcedure, kSubclassId);
    ::DestroyWindow(window_);
    window_ = nullptr;
  }
  images_.reset();
  browser_.reset();
  rebar_ = nullptr;
  feeds_.Clear();
  feedMenuEntries_.clear();
  folderMenuUrls_.clear();
}

void CRssToolbarCtrl::AddFoundFeed(const Text& pageUrl, const Text& title, const Text& feedUrl) {
  feeds_.Add(pageUrl, title, feedUrl);
  UpdateFeedButton();
}

void CRssToolbarCtrl::ClearFoundFeeds() {
  feeds_.Clear();
  UpdateFeedButton();
}

void CRssToolbarCtrl::ForgetPageFeeds(const Text& pageUrl) {
  feeds_.ForgetPage(pageUrl);
  UpdateFeedButton();
}

void CRssToolbarCtrl::UpdateFeedButton() {
  SetButtonImage(IDC_FEED_BUTTON, feeds_.PageHasFeed() ? kFeedImage : kNoFeedImage);
}

void CRssToolbarCtrl::SetButtonImage(int button, int image) {
  if (!window_) return;
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE;
  info.iImage = image;
  ::SendMessageW(window_, TB_SETBUTTONINFOW, button, reinterpret_cast<LPARAM>(&info));
}

LRESULT CALLBACK CRssToolbarCtrl::SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                    UINT_PTR, DWORD_PTR self) noexcept {
  const NestingGuard guard(window, reinterpret_cast<const void*>(&SubclassProcedure));
  try {
    return reinterpret_cast<CRssToolbarCtrl*>(self)->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT CRssToolbarCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: {
      const LRESULT result = ::DefSubclassProc(window_, message, wParam, lParam);
      OnSize();
      return result;
    }
    case WM_SETTINGCHANGE:
      return 0;
    case WM_NCDESTROY:
      // Gone with the rebar before the band closed it: nothing may touch the handle again.
      return ::DefSubclassProc(std::exchange(window_, nullptr), message, wParam, lParam);
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_RBUTTONUP:
      if (OnRightButtonUp(lParam)) return 0;
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    default:
      if (message == NewsMessage() && message != 0) {
        SetButtonImage(IDC_ARTICLES_BUTTON, wParam ? kNewsImage : kNoNewsImage);
        return 0;
      }
  }
  return ::DefSubclassProc(window_, message, wParam, lParam);
}

// The rebar shows a chevron for the buttons that do not fit when the band is narrower.
void CRssToolbarCtrl::OnSize() {
  if (bandId_ < 0 || !rebar_ || sizing_) return;
  const LRESULT index = ::SendMessageW(rebar_, RB_IDTOINDEX, bandId_, 0);
  const LRESULT count = ::SendMessageW(window_, TB_BUTTONCOUNT, 0, 0);
  RECT last{};
  if (index < 0 || count <= 0 || !::SendMessageW(window_, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last)))
    return;
  REBARBANDINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = RBBIM_STYLE | RBBIM_IDEALSIZE;
  if (!::SendMessageW(rebar_, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&info))) return;
  if (info.cxIdeal == static_cast<UINT>(last.right) && (info.fStyle & RBBS_USECHEVRON)) return;
  info.cxIdeal = last.right;
  info.fStyle |= RBBS_USECHEVRON;
  sizing_ = true;  // the rebar may size the band's window again while it takes the change
  ::SendMessageW(rebar_, RB_SETBANDINFOW, index, reinterpret_cast<LPARAM>(&info));
  sizing_ = false;
}

LRESULT CRssToolbarCtrl::OnNotify(const NMHDR& header) {
  if (header.code == TTN_GETDISPINFOW) {
    auto& request = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
    if (const wchar_t* tip = ToolTipOf(header.idFrom)) {
      lstrcpynW(request.szText, tip, static_cast<int>(std::min(std::size(request.szText), kMaxToolTipChars + 1)));
      request.lpszText = request.szText;
    }
    return 0;
  }
  if (header.code == TBN_DROPDOWN) {
    const int button = reinterpret_cast<const NMTOOLBARW&>(header).iItem;
    ShowMenuOf(button, BelowButton(button));
    return TBDDRET_DEFAULT;
  }
  return ::DefSubclassProc(window_, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool CRssToolbarCtrl::OnRightButtonUp(LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (int button : {IDC_ARTICLES_BUTTON, IDC_FEED_BUTTON}) {
    RECT rect{};
    if (::SendMessageW(window_, TB_GETRECT, button, reinterpret_cast<LPARAM>(&rect)) && ::PtInRect(&rect, point)) {
      ::ClientToScreen(window_, &point);
      ShowMenuOf(button, point);
      return true;
    }
  }
  return false;
}

POINT CRssToolbarCtrl::BelowButton(int button) const {
  RECT rect{};
  ::SendMessageW(window_, TB_GETRECT, button, reinterpret_cast<LPARAM>(&rect));
  POINT point{rect.left, rect.bottom};
  ::ClientToScreen(window_, &point);
  return point;
}

void CRssToolbarCtrl::ShowMenuOf(int button, POINT screenPoint) {
  if (button == IDC_ARTICLES_BUTTON) ShowFolderMenu(screenPoint);
  if (button == IDC_FEED_BUTTON) ShowFeedMenu(screenPoint);
}

void CRssToolbarCtrl::ShowFolderMenu(POINT screenPoint) {
  unique_hmenu menu(::CreatePopupMenu());
  folderMenuUrls_.clear();
  if (!menu) return;
  if (!FindMainProgram()) {
    ::AppendMenuW(menu.get(), MF_STRING, IDC_ABOUT, L"pelunについて(&A)");
    TrackMenu(menu.get(), screenPoint);
    return;
  }
  std::optional<XmlElement> list = LoadFolderList();
  if (!list) return;
  const FolderMenu folders = BuildFolderMenu(*list);
  UINT id = IDC_FIRST_FOLDER_ITEM;
  for (const FolderMenuItem& item : folders.items) {
    ::AppendMenuW(menu.get(), MF_STRING, id++, W(item.label));
    folderMenuUrls_.push_back(item.url);
  }
  if (folders.defaultItem)
    ::SetMenuDefaultItem(menu.get(), IDC_FIRST_FOLDER_ITEM + static_cast<UINT>(*folders.defaultItem), FALSE);
  if (folders.items.empty()) ::AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, id, L"フォルダがありません");
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu.get(), MF_STRING, IDC_CHECK_ALL, L"全てを更新(&R)");
  ::AppendMenuW(menu.get(), MF_STRING, IDC_SETTINGS, L"設定(&S)");
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu.get(), MF_STRING, IDC_ABOUT, L"pelunについて(&A)");
  TrackMenu(menu.get(), screenPoint);
}

void CRssToolbarCtrl::ShowFeedMenu(POINT screenPoint) {
  unique_hmenu menu(::CreatePopupMenu());
  if (!menu) return;
  feedMenuEntries_ = FeedMenuEntries(feeds_);
  UINT id = IDC_FIRST_FEED_ITEM;
  for (const FeedMenuEntry& entry : feedMenuEntries_) ::AppendMenuW(menu.get(), MF_STRING, id++, W(entry.label));
  if (feedMenuEntries_.empty()) ::AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, id, L"RSSは見つかっていません");
  TrackMenu(menu.get(), screenPoint);
}

void CRssToolbarCtrl::TrackMenu(HMENU menu, POINT screenPoint) {
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, window_,
                   nullptr);
}

void CRssToolbarCtrl::OnCommand(UINT id) {
  if (id == IDC_ARTICLES_BUTTON) {
    NavigateBrowser(FindMainProgram() ? MakeLocalUrl(u"/new") : Text(kHomePage));
  } else if (id == IDC_SETTINGS || id == IDC_CHECK_ALL) {
    if (FindMainProgram()) (void)SendServerCommand(id == IDC_SETTINGS ? u"/sync" : u"/reload");
  } else if (id == IDC_ABOUT) {
    NavigateBrowser(kHomePage);
  } else if (id >= IDC_FIRST_FEED_ITEM && id <= IDC_LAST_FEED_ITEM) {
    const size_t index = id - IDC_FIRST_FEED_ITEM;
    if (index < feedMenuEntries_.size()) HandOverFeed(feedMenuEntries_[index].feed.url, window_, HandOverFailure::kSilent);
  } else if (id >= IDC_FIRST_FOLDER_ITEM && id <= IDC_LAST_FOLDER_ITEM) {
    const size_t index = id - IDC_FIRST_FOLDER_ITEM;
    if (index < folderMenuUrls_.size() && !folderMenuUrls_[index].empty())
      NavigateBrowser(MakeLocalUrl(folderMenuUrls_[index]));
  }
}

void CRssToolbarCtrl::NavigateBrowser(const Text& url) {
  if (!browser_) return;
  unique_bstr address(::SysAllocString(W(url)));
  unique_bstr target(::SysAllocString(L"_blank"));
  unique_variant ignored;
  if (ShiftOrControlHeld()) {
    CallByName(browser_.get(), L"Navigate", DISPATCH_METHOD,
               {TextArgument(address.get()), MissingArgument(), TextArgument(target.get())}, ignored);
  } else {
    CallByName(browser_.get(), L"Navigate", DISPATCH_METHOD, {TextArgument(address.get())}, ignored);
  }
}
