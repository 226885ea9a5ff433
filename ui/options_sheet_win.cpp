#include "ui/options_sheet_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "app/resource.h"
#include "ui/dialog_page_win.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr char16_t kSoundFilter[] = u"音声ファイル (*.wav)|*.wav|すべてのファイル (*.*)|*.*||";
constexpr char16_t kProgramFilter[] = u"実行ファイル (*.exe)|*.exe|すべてのファイル (*.*)|*.*||";
constexpr size_t kPathChars = MAX_PATH * 4;

// 全般: start-up, checks, the notification method with its controls, the sound.
class CSetupPage1 : public CDialogPage {
 public:
  explicit CSetupPage1(OptionsForm& form) : CDialogPage(IDD_OPTIONS_GENERAL), f_(form) {}

 private:
  void OnInit() override {
    SetChecked(IDC_OPT_STARTUP, f_.startup);
    SetChecked(IDC_OPT_CHECK_ON_START, f_.checkOnStart);
    SetItemText(IDC_OPT_DELAY, DecimalText(f_.delay));
    SetChecked(IDC_OPT_PERIODIC, f_.periodic);
    SetItemText(IDC_OPT_TIMER, DecimalText(f_.timerMinutes));
    FillList(IDC_OPT_NOTIFY_METHOD,
             {L"タスクトレイからのバルーン通知", L"ポップアップウィンドウ", L"ティッカー風ウィンドウ", L"無し"},
             f_.notifyMethod);
    SetChecked(IDC_OPT_NOTIFY_FOLDER, f_.notifyFolder);
    FillList(IDC_OPT_POSITION, {L"中央", L"左上", L"右上", L"左下", L"右下"}, f_.notifyPos);
    SetChecked(IDC_OPT_AUTO_CLOSE, f_.autoClose);
    SetItemText(IDC_OPT_CLOSE_SECONDS, DecimalText(f_.notifySeconds));
    SetItemText(IDC_OPT_TICKER_INTERVAL, DecimalText(f_.tickerInterval));
    SetChecked(IDC_OPT_TICKER_SCROLL, f_.tickerScroll);
    SetChecked(IDC_OPT_TRANSLUCENT, f_.translucent);
    ::SendDlgItemMessageW(hwnd(), IDC_OPT_ALPHA, TBM_SETRANGE, TRUE, MAKELPARAM(0, kAlphaSteps));
    ::SendDlgItemMessageW(hwnd(), IDC_OPT_ALPHA, TBM_SETPOS, TRUE, f_.alphaStep);
    SetItemText(IDC_OPT_SOUND, f_.sound);
    UpdateControls();
  }

  bool Save() override {
    const auto delay = ReadInteger(IDC_OPT_DELAY, 0, 600);
    const auto timer = delay ? ReadInteger(IDC_OPT_TIMER, 15, 999) : std::nullopt;
    const auto seconds = timer ? ReadInteger(IDC_OPT_CLOSE_SECONDS, 1, 999) : std::nullopt;
    const auto interval = seconds ? ReadInteger(IDC_OPT_TICKER_INTERVAL, 3, 99) : std::nullopt;
    if (!interval) return false;
    f_.startup = Checked(IDC_OPT_STARTUP);
    f_.checkOnStart = Checked(IDC_OPT_CHECK_ON_START);
    f_.delay = *delay;
    f_.periodic = Checked(IDC_OPT_PERIODIC);
    f_.timerMinutes = *timer;
    f_.notifyMethod = std::max(Selection(IDC_OPT_NOTIFY_METHOD), 0);
    f_.notifyFolder = Checked(IDC_OPT_NOTIFY_FOLDER);
    f_.notifyPos = std::max(Selection(IDC_OPT_POSITION), 0);
    f_.autoClose = Checked(IDC_OPT_AUTO_CLOSE);
    f_.notifySeconds = *seconds;
    f_.tickerInterval = *interval;
    f_.tickerScroll = Checked(IDC_OPT_TICKER_SCROLL);
    f_.translucent = Checked(IDC_OPT_TRANSLUCENT);
    f_.alphaStep = static_cast<int32_t>(::SendDlgItemMessageW(hwnd(), IDC_OPT_ALPHA, TBM_GETPOS, 0, 0));
    f_.sound = ItemText(IDC_OPT_SOUND);
    return true;
  }

  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDC_OPT_CHECK_ON_START:
      case IDC_OPT_PERIODIC:
      case IDC_OPT_AUTO_CLOSE:
      case IDC_OPT_TRANSLUCENT: UpdateControls(); return true;
      case IDC_OPT_NOTIFY_METHOD:
        if (code == CBN_SELCHANGE) UpdateControls();
        return true;
      case IDC_OPT_CHOOSE_COLOUR: ChooseTextColour(); return true;
      case IDC_OPT_BROWSE_SOUND:
        if (auto path = BrowseForFile(Frame(), kSoundFilter, ItemText(IDC_OPT_SOUND))) SetItemText(IDC_OPT_SOUND, *path);
        return true;
    }
    return false;
  }

  // The swatch is painted in the chosen colour.
  std::optional<INT_PTR> OnMessage(UINT message, WPARAM, LPARAM lParam) override {
    if (message != WM_CTLCOLORSTATIC || ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_OPT_COLOUR)
      return std::nullopt;
    swatch_.reset(::CreateSolidBrush(static_cast<COLORREF>(f_.textColor)));
    return reinterpret_cast<INT_PTR>(swatch_.get());
  }

  void UpdateControls() const {
    Enable(IDC_OPT_DELAY, Checked(IDC_OPT_CHECK_ON_START));
    Enable(IDC_OPT_TIMER, Checked(IDC_OPT_PERIODIC));
    Enable(IDC_OPT_CLOSE_SECONDS, Checked(IDC_OPT_AUTO_CLOSE));
    Enable(IDC_OPT_ALPHA, Checked(IDC_OPT_TRANSLUCENT));
    const NotifyControlGroups shown = VisibleNotifyControls(Selection(IDC_OPT_NOTIFY_METHOD));
    Show(IDC_OPT_NOTIFY_FOLDER, shown.folderList);
    for (int id : {IDC_OPT_COLOUR_LABEL, IDC_OPT_COLOUR, IDC_OPT_CHOOSE_COLOUR, IDC_OPT_TRANSLUCENT, IDC_OPT_ALPHA})
      Show(id, shown.colourAndAlpha);
    for (int id : {IDC_OPT_POSITION_LABEL, IDC_OPT_POSITION, IDC_OPT_AUTO_CLOSE, IDC_OPT_CLOSE_SECONDS, IDC_OPT_CLOSE_LABEL})
      Show(id, shown.positionAndClose);
    for (int id : {IDC_OPT_TICKER_SCROLL, IDC_OPT_INTERVAL_LABEL, IDC_OPT_TICKER_INTERVAL, IDC_OPT_INTERVAL_UNIT})
      Show(id, shown.tickerOnly);
  }

  void ChooseTextColour() {
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = Frame();
    choose.rgbResult = static_cast<COLORREF>(f_.textColor);
    choose.lpCustColors = customColours_;
    choose.Flags = CC_RGBINIT;
    if (!::ChooseColorW(&choose)) return;
    f_.textColor = static_cast<int32_t>(choose.rgbResult);
    ::InvalidateRect(::GetDlgItem(hwnd(), IDC_OPT_COLOUR), nullptr, TRUE);
  }

  OptionsForm& f_;
  unique_hgdiobj swatch_;
  COLORREF customColours_[16] = {};
};

// 表示: the pages the server renders, and the browser.
class CSetupPage4 : public CDialogPage {
 public:
  explicit CSetupPage4(OptionsForm& form) : CDialogPage(IDD_OPTIONS_DISPLAY), f_(form) {}

 private:
  void OnInit() override {
    SetChecked(IDC_OPT_TARGET_BLANK, f_.targetBlank);
    SetChecked(IDC_OPT_TITLE_ONLY, f_.titleOnly);
    SetChecked(IDC_OPT_LEAVE_HTML, f_.leaveHtml);
    SetItemText(IDC_OPT_LOAD_ITEM, DecimalText(f_.loadItem));
    SetItemText(IDC_OPT_LEFT_ITEM, DecimalText(f_.leftItem));
    SetChecked(IDC_OPT_UPDATE_TITLE, f_.updateTitle);
    SetChecked(IDC_OPT_USE_BROWSER, f_.useBrowser);
    SetItemText(IDC_OPT_BROWSER, f_.browser);
    SetChecked(IDC_OPT_BROWSE_ALL, f_.browseAll);
    UpdateControls();
  }

  bool Save() override {
    const auto loadItem = ReadInteger(IDC_OPT_LOAD_ITEM, 1, 99);
    const auto leftItem = loadItem ? ReadInteger(IDC_OPT_LEFT_ITEM, 0, 99) : std::nullopt;
    if (!leftItem) return false;
    f_.targetBlank = Checked(IDC_OPT_TARGET_BLANK);
    f_.titleOnly = Checked(IDC_OPT_TITLE_ONLY);
    f_.leaveHtml = Checked(IDC_OPT_LEAVE_HTML);
    f_.loadItem = *loadItem;
    f_.leftItem = *leftItem;
    f_.updateTitle = Checked(IDC_OPT_UPDATE_TITLE);
    f_.useBrowser = Checked(IDC_OPT_USE_BROWSER);
    f_.browser = ItemText(IDC_OPT_BROWSER);
    f_.browseAll = Checked(IDC_OPT_BROWSE_ALL);
    return true;
  }

  bool OnCommand(int id, int) override {
    if (id == IDC_OPT_USE_BROWSER) {
      UpdateControls();
      return true;
    }
    if (id != IDC_OPT_BROWSE_BROWSER) return false;
    if (auto path = BrowseForFile(Frame(), kProgramFilter, ItemText(IDC_OPT_BROWSER))) SetItemText(IDC_OPT_BROWSER, *path);
    return true;
  }

  void UpdateControls() const {
    const bool on = Checked(IDC_OPT_USE_BROWSER);
    for (int id : {IDC_OPT_BROWSER, IDC_OPT_BROWSE_BROWSER, IDC_OPT_BROWSE_ALL}) Enable(id, on);
  }

  OptionsForm& f_;
};

// 接続: downloads, the local server's port, the proxy.
class CSetupPage2 : public CDialogPage {
 public:
  explicit CSetupPage2(OptionsForm& form) : CDialogPage(IDD_OPTIONS_CONNECTION), f_(form) {}

 private:
  void OnInit() override {
    SetItemText(IDC_OPT_CONNECTION, DecimalText(f_.connection));
    SetItemText(IDC_OPT_TIMEOUT, DecimalText(f_.timeout));
    SetItemText(IDC_OPT_PORT, DecimalText(f_.port));
    SetChecked(IDC_OPT_USE_PROXY, f_.useProxy);
    SetItemText(IDC_OPT_PROXY_SERVER, f_.proxyServer);
    SetItemText(IDC_OPT_PROXY_PORT, DecimalText(f_.proxyPort));
    SetItemText(IDC_OPT_PROXY_USER, f_.proxyUser);
    SetItemText(IDC_OPT_PROXY_PASS, f_.proxyPassword);
    UpdateControls();
  }

  // The proxy port has no range of its own in the table; a port number it is all the same.
  bool Save() override {
    const auto connection = ReadInteger(IDC_OPT_CONNECTION, 1, 10);
    const auto timeout = connection ? ReadInteger(IDC_OPT_TIMEOUT, 10, 99) : std::nullopt;
    const auto port = timeout ? ReadInteger(IDC_OPT_PORT, 1, 65535) : std::nullopt;
    const auto proxyPort = port ? ReadInteger(IDC_OPT_PROXY_PORT, 0, 65535) : std::nullopt;
    if (!proxyPort) return false;
    f_.connection = *connection;
    f_.timeout = *timeout;
    f_.port = *port;
    f_.useProxy = Checked(IDC_OPT_USE_PROXY);
    f_.proxyServer = Text(Trim(ItemText(IDC_OPT_PROXY_SERVER)));
    f_.proxyPort = *proxyPort;
    f_.proxyUser = ItemText(IDC_OPT_PROXY_USER);
    f_.proxyPassword = ItemText(IDC_OPT_PROXY_PASS);
    return true;
  }

  bool OnCommand(int id, int) override {
    if (id != IDC_OPT_USE_PROXY) return false;
    UpdateControls();
    return true;
  }

  void UpdateControls() const {
    const bool on = Checked(IDC_OPT_USE_PROXY);
    for (int id : {IDC_OPT_PROXY_SERVER, IDC_OPT_PROXY_PORT, IDC_OPT_PROXY_USER, IDC_OPT_PROXY_PASS}) Enable(id, on);
  }

  OptionsForm& f_;
};

// 制限/認証: the sites never downloaded at the same time, and the pass phrase.
class CSetupPage3 : public CDialogPage {
 public:
  explicit CSetupPage3(OptionsForm& form) : CDialogPage(IDD_OPTIONS_LIMITS), f_(form), list_(form.limitUrls) {}

 private:
  void OnInit() override {
    for (const Text& url : list_) ListMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(url)));
    SetItemText(IDC_OPT_PASS_PHRASE, f_.passPhrase);
  }

  bool Save() override {
    f_.limitUrls = list_;
    f_.passPhrase = ItemText(IDC_OPT_PASS_PHRASE);
    return true;
  }

  bool OnCommand(int id, int) override {
    if (id == IDC_OPT_LIMIT_ADD) Add();
    else if (id == IDC_OPT_LIMIT_REMOVE) Remove();
    else return false;
    return true;
  }

  void Add() {
    const LimitListAddition added = AddToLimitList(list_, ItemText(IDC_OPT_LIMIT_TEXT));
    if (!added.select) {
      ::MessageBeep(MB_OK);
      return;
    }
    if (added.appended) ListMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(list_.back())));
    ListMessage(LB_SETCURSEL, *added.select, 0);
    SetItemText(IDC_OPT_LIMIT_TEXT, u"");
  }

  void Remove() {
    const LRESULT selected = ListMessage(LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || static_cast<size_t>(selected) >= list_.size()) {
      ::MessageBeep(MB_OK);
      return;
    }
    list_.erase(list_.begin() + selected);
    ListMessage(LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
  }

  LRESULT ListMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageW(hwnd(), IDC_OPT_LIMIT_LIST, message, wParam, lParam);
  }

  OptionsForm& f_;
  std::vector<Text> list_;  // the list control's entries, in its order
};

}  // namespace

std::optional<Text> BrowseForFile(HWND owner, TextView filter, const Text& current) {
  std::wstring pairs(W(Text(filter)));
  std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
  std::wstring path(kPathChars, L'\0');
  std::copy_n(W(current), std::min(current.size(), kPathChars - 1), path.begin());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = pairs.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  return FromWide(path.c_str());
}

bool RunOptionsSheet(HWND owner, HINSTANCE instance, OptionsForm& form) {
  CSetupPage1 general(form);
  CSetupPage4 display(form);
  CSetupPage2 connection(form);
  CSetupPage3 limits(form);
  return RunPropertySheet(owner, instance, u"オプション", {&general, &display, &connection, &limits});
}
