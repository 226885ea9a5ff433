// Driving another program's property sheets (or any dialog) by caption: choose a page, and set,
// click, select or read a control of the page shown. A control is found by its id among the
// visible descendants, since the pages of a sheet are dialogs of their own inside it.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/wine/wintool_sheet.h"

namespace {

constexpr DWORD kWaitMs = 10000;
constexpr UINT kSendTimeoutMs = 5000;

HWND FindDialog(const wchar_t* title) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND window = ::FindWindowW(L"#32770", title)) return window;
    if (::GetTickCount() - start >= kWaitMs) return nullptr;
    ::Sleep(50);
  }
}

struct ControlSearch {
  int id;
  HWND found;
};

// The control whose own window and every parent up to the dialog are visible.
HWND FindVisibleControl(HWND dialog, int id) {
  ControlSearch search{id, nullptr};
  ::EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<ControlSearch*>(param);
        if (::GetDlgCtrlID(child) != s->id || !::IsWindowVisible(::GetParent(child))) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

void PrintUtf8(const char* name, const wchar_t* text) {
  char bytes[4096] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  std::printf("%s=%s\n", name, bytes);
}

// text, checked, enabled, visible, and the selection of a list or the position of a slider.
int PrintState(HWND control) {
  wchar_t text[2048] = {};
  Send(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
  for (wchar_t* c = text; *c; ++c)
    if (*c == L'\r' || *c == L'\n') *c = L'|';
  PrintUtf8("text", text);
  wchar_t className[64] = {};
  ::GetClassNameW(control, className, 64);
  std::printf("checked=%d\nenabled=%d\nvisible=%d\n", Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0,
              ::IsWindowEnabled(control) ? 1 : 0, ::IsWindowVisible(control) ? 1 : 0);
  if (_wcsicmp(className, L"ComboBox") == 0)
    std::printf("selection=%d\ncount=%d\n", static_cast<int>(Send(control, CB_GETCURSEL, 0, 0)),
                static_cast<int>(Send(control, CB_GETCOUNT, 0, 0)));
  if (_wcsicmp(className, L"ListBox") == 0) {
    const int count = static_cast<int>(Send(control, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t entry[1024] = {};
      if (Send(control, LB_GETTEXTLEN, i, 0) < 1024) Send(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
      PrintUtf8("entry", entry);
    }
    std::printf("selection=%d\n", static_cast<int>(Send(control, LB_GETCURSEL, 0, 0)));
  }
  if (_wcsicmp(className, TRACKBAR_CLASSW) == 0)
    std::printf("position=%d\n", static_cast<int>(Send(control, TBM_GETPOS, 0, 0)));
  return 0;
}

// A check box changes its state and tells its page at once; a push button's click is posted,
// since it may open a modal window, which would hold a sent message.
int Click(HWND control) {
  const LONG_PTR kind = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
  const WPARAM notice = MAKEWPARAM(::GetDlgCtrlID(control), BN_CLICKED);
  if (kind != BS_AUTOCHECKBOX)
    return ::PostMessageW(::GetParent(control), WM_COMMAND, notice, reinterpret_cast<LPARAM>(control)) ? 0 : 1;
  const bool checked = Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  Send(control, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
  Send(::GetParent(control), WM_COMMAND, notice, reinterpret_cast<LPARAM>(control));
  return 0;
}

int OnControl(const std::wstring& command, HWND control, const wchar_t* value) {
  if (command == L"page-state") return PrintState(control);
  if (command == L"page-click") return Click(control);
  if (command == L"page-set") return Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value)) ? 0 : 1;
  const WPARAM number = std::wcstoul(value, nullptr, 10);
  if (command == L"page-slider") {
    Send(control, TBM_SETPOS, TRUE, static_cast<LPARAM>(number));
    return 0;
  }
  // page-select: announced to the page as the user's pick would be.
  if (Send(control, CB_SETCURSEL, number, 0) != static_cast<LRESULT>(number)) return 1;
  Send(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), CBN_SELCHANGE),
       reinterpret_cast<LPARAM>(control));
  return 0;
}

}  // namespace

// "sheet-page TITLE INDEX", "page-state TITLE ID", "page-click TITLE ID",
// "page-set TITLE ID TEXT", "page-select TITLE ID INDEX", "page-slider TITLE ID POSITION".
int RunSheetCommand(int argc, wchar_t** argv) {
  if (argc < 4) return -1;
  const std::wstring command = argv[1];
  const bool withValue = command == L"page-set" || command == L"page-select" || command == L"page-slider";
  const bool known = command == L"sheet-page" || command == L"page-state" || command == L"page-click" || withValue;
  if (!known || argc != (withValue ? 5 : 4)) return -1;
  HWND dialog = FindDialog(argv[2]);
  if (!dialog) return 1;
  if (command == L"sheet-page") return Send(dialog, PSM_SETCURSEL, std::wcstoul(argv[3], nullptr, 10), 0) ? 0 : 1;
  HWND control = FindVisibleControl(dialog, static_cast<int>(std::wcstoul(argv[3], nullptr, 0)));
  if (!control) return 1;
  return OnControl(command, control, withValue ? argv[4] : L"");
}
