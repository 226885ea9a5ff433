#include "app/about_dialog_win.h"

#include <shellapi.h>

#include "app/resource.h"
#include "shared/names.h"
#include "ui/open_address.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 204);

class CAboutDlg {
 public:
  explicit CAboutDlg(const AboutBoxData& data) : data_(data) {}

  void Run(HWND owner, HINSTANCE instance) {
    ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, &CAboutDlg::Procedure,
                      reinterpret_cast<LPARAM>(this));
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<CAboutDlg*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    try {
      return self->Handle(dialog, message, wParam, lParam);
    } catch (...) {
      return FALSE;
    }
  }

  INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
      case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(dialog, IDC_ABOUT_LINK)) {
          const HDC dc = reinterpret_cast<HDC>(wParam);
          ::SetTextColor(dc, kLinkColour);
          ::SetBkMode(dc, TRANSPARENT);
          return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
      case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == ::GetDlgItem(dialog, IDC_ABOUT_LINK)) {
          ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
          ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_LINK && HIWORD(wParam) == STN_CLICKED) OpenLink();
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
  }

  void OnInitDialog(HWND dialog) {
    // The version control keeps its own text and gets the version after it.
    wchar_t own[64] = {};
    ::GetDlgItemTextW(dialog, IDC_ABOUT_VERSION, own, 64);
    const Text version = FromWide(own) + u" Ver " + kVersionText;
    ::SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, W(version));

    const Text info = Text(u"User-Agent: pelun/") + kVersionText + u"\r\nDataPath: " +
                      data_.dataDirectory + u"\r\nTempPath: " + data_.tempDirectory;
    ::SetDlgItemTextW(dialog, IDC_ABOUT_INFO, W(info));

    HWND link = ::GetDlgItem(dialog, IDC_ABOUT_LINK);
    ::SetWindowTextW(link, W(data_.link));
    LOGFONTW font{};
    if (::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)), sizeof font, &font)) {
      font.lfUnderline = TRUE;
      linkFont_.reset(::CreateFontIndirectW(&font));
      if (linkFont_) ::SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), TRUE);
    }
  }

  // The link is the program's own address; nothing else may reach the shell from here.
  void OpenLink() const {
    if (!IsOpenableAddress(data_.link)) return;
    ::ShellExecuteW(nullptr, L"open", W(data_.link), nullptr, nullptr, SW_SHOWNORMAL);
  }

  const AboutBoxData& data_;
  unique_hgdiobj linkFont_;
};

}  // namespace

void ShowAboutDialog(HWND owner, HINSTANCE instance, const AboutBoxData& data) {
  CAboutDlg(data).Run(owner, instance);
}
