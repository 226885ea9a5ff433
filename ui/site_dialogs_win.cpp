#include "ui/site_dialogs_win.h"

#include "app/resource.h"
#include "util/wide_win.h"

namespace {

Text ItemText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  return FromWide(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

// The dialog procedure common to both: `Dialog` supplies OnInit and OnOk over its data.
template <class Dialog>
INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* data = reinterpret_cast<typename Dialog::Data*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (!data) return FALSE;
  try {
    switch (message) {
      case WM_INITDIALOG: Dialog::OnInit(dialog, *data); return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          Dialog::OnOk(dialog, *data);
          ::EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
  } catch (...) {
    ::EndDialog(dialog, IDCANCEL);
  }
  return FALSE;
}

template <class Dialog>
bool Run(HWND owner, HINSTANCE instance, int templateId, typename Dialog::Data& data) {
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &Procedure<Dialog>,
                           reinterpret_cast<LPARAM>(&data)) == IDOK;
}

struct CAddsiteDlg {
  using Data = AddSiteDialogData;
  static void OnInit(HWND dialog, Data& data) {
    ::SetDlgItemTextW(dialog, IDC_ADDSITE_URL, W(data.url));
    HWND list = ::GetDlgItem(dialog, IDC_ADDSITE_TARGET);
    ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"カーソル位置"));
    for (const auto& name : data.folderNames) {
      const Text entry = u"【" + name + u"】";
      ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(entry)));
    }
    ::SendMessageW(list, CB_SETCURSEL, 0, 0);
  }
  static void OnOk(HWND dialog, Data& data) {
    data.url = ItemText(dialog, IDC_ADDSITE_URL);
    const LRESULT selected = ::SendDlgItemMessageW(dialog, IDC_ADDSITE_TARGET, CB_GETCURSEL, 0, 0);
    data.target = selected == CB_ERR ? 0 : static_cast<int>(selected);
  }
};

struct CUserDialog {
  using Data = UserDialogData;
  static void OnInit(HWND dialog, Data& data) { ::SetDlgItemTextW(dialog, IDC_USER_NAME, W(data.user)); }
  static void OnOk(HWND dialog, Data& data) {
    data.user = ItemText(dialog, IDC_USER_NAME);
    data.password = ItemText(dialog, IDC_USER_PASSWORD);
  }
};

}  // namespace

bool RunAddSiteDialog(HWND owner, HINSTANCE instance, AddSiteDialogData& data) {
  return Run<CAddsiteDlg>(owner, instance, IDD_ADDSITE, data);
}

bool RunUserDialog(HWND owner, HINSTANCE instance, UserDialogData& data) {
  return Run<CUserDialog>(owner, instance, IDD_USER, data);
}
