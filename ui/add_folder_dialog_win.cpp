#include "ui/add_folder_dialog_win.h"

#include <string>

#include "app/resource.h"
#include "util/wide_win.h"

namespace {

class CAddfolderDlg {
 public:
  explicit CAddfolderDlg(AddFolderDialogData& data) : data_(data) {}

  bool Run(HWND owner, HINSTANCE instance) {
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ADD_FOLDER), owner, &CAddfolderDlg::Procedure,
                             reinterpret_cast<LPARAM>(this)) == IDOK;
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<CAddfolderDlg*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    try {
      return self->Handle(dialog, message, wParam);
    } catch (...) {
      return FALSE;
    }
  }

  INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        ::SetDlgItemTextW(dialog, IDC_FOLDER_NAME, W(data_.name));
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          HWND edit = ::GetDlgItem(dialog, IDC_FOLDER_NAME);
          std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
          text.resize(static_cast<size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
          data_.name = FromWide(text.c_str());
          ::EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
  }

  AddFolderDialogData& data_;
};

}  // namespace

bool RunAddFolderDialog(HWND owner, HINSTANCE instance, AddFolderDialogData& data) {
  return CAddfolderDlg(data).Run(owner, instance);
}
