#include "ui/dialog_page_win.h"

#include <commctrl.h>

#include "shared/names.h"
#include "ui/options_form.h"
#include "util/wide_win.h"

PROPSHEETPAGEW CDialogPage::Describe(HINSTANCE instance) {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(templateId_);
  page.pfnDlgProc = &PageProcedure;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

bool CDialogPage::RunModal(HWND owner, HINSTANCE instance) {
  modal_ = true;
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId_), owner, &ModalProcedure,
                           reinterpret_cast<LPARAM>(this)) == IDOK;
}

// The object comes with WM_INITDIALOG: inside the page's description for a sheet page,
// directly for a modal dialog.
INT_PTR CALLBACK CDialogPage::PageProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  CDialogPage* binding = nullptr;
  if (message == WM_INITDIALOG)
    binding = reinterpret_cast<CDialogPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
  return Dispatch(dialog, message, wParam, lParam, binding);
}

INT_PTR CALLBACK CDialogPage::ModalProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  CDialogPage* binding = message == WM_INITDIALOG ? reinterpret_cast<CDialogPage*>(lParam) : nullptr;
  return Dispatch(dialog, message, wParam, lParam, binding);
}

INT_PTR CDialogPage::Dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, CDialogPage* binding) noexcept {
  if (binding) {
    binding->hwnd_ = dialog;
    ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
  }
  auto* page = reinterpret_cast<CDialogPage*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (!page) return FALSE;
  try {
    return page->Handle(message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

INT_PTR CDialogPage::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: OnInit(); return TRUE;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (modal_ && id == IDOK) {
        if (Save() && OnOk()) ::EndDialog(hwnd_, IDOK);
        return TRUE;
      }
      if (modal_ && id == IDCANCEL) {
        ::EndDialog(hwnd_, IDCANCEL);
        return TRUE;
      }
      return OnCommand(id, HIWORD(wParam)) ? TRUE : FALSE;
    }
  }
  const auto handled = OnMessage(message, wParam, lParam);
  return handled ? *handled : FALSE;
}

// Leaving a page and confirming the sheet both read the page, so values survive a change of
// page and a failed check keeps the user where the field is.
INT_PTR CDialogPage::OnNotify(const NMHDR& header) {
  if (header.code == PSN_KILLACTIVE) {
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, Save() ? FALSE : TRUE);
    return TRUE;
  }
  if (header.code == PSN_APPLY) {
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, Save() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
    return TRUE;
  }
  const auto handled = OnMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  return handled ? *handled : FALSE;
}

HWND CDialogPage::Frame() const { return modal_ ? hwnd_ : ::GetParent(hwnd_); }

Text CDialogPage::ItemText(int id) const {
  HWND control = ::GetDlgItem(hwnd_, id);
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  return FromWide(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void CDialogPage::SetItemText(int id, TextView text) const { ::SetDlgItemTextW(hwnd_, id, W(Text(text))); }

bool CDialogPage::Checked(int id) const { return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void CDialogPage::SetChecked(int id, bool checked) const {
  ::CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CDialogPage::Enable(int id, bool enabled) const { ::EnableWindow(::GetDlgItem(hwnd_, id), enabled); }

void CDialogPage::Show(int id, bool shown) const { ::ShowWindow(::GetDlgItem(hwnd_, id), shown ? SW_SHOW : SW_HIDE); }

int CDialogPage::Selection(int id) const {
  const LRESULT selected = ::SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void CDialogPage::FillList(int id, const std::vector<const wchar_t*>& entries, int selected) const {
  for (const wchar_t* entry : entries)
    ::SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  ::SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

std::optional<int32_t> CDialogPage::ReadInteger(int id, int32_t minimum, int32_t maximum) const {
  const IntegerField field = CheckIntegerField(ItemText(id), minimum, maximum);
  if (field.value) return field.value;
  Message(field.message, MB_ICONEXCLAMATION);
  HWND control = ::GetDlgItem(hwnd_, id);
  ::SetFocus(control);
  ::SendMessageW(control, EM_SETSEL, 0, -1);
  return std::nullopt;
}

void CDialogPage::Message(TextView text, UINT icon) const {
  ::MessageBoxW(Frame(), W(Text(text)), W(kApplicationTitle), MB_OK | icon);
}

bool RunPropertySheet(HWND owner, HINSTANCE instance, TextView caption, const std::vector<CDialogPage*>& pages) {
  std::vector<PROPSHEETPAGEW> described;
  for (CDialogPage* page : pages) described.push_back(page->Describe(instance));
  const Text title(caption);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = instance;
  header.pszCaption = W(title);
  header.nPages = static_cast<UINT>(described.size());
  header.ppsp = described.data();
  return ::PropertySheetW(&header) > 0;
}
