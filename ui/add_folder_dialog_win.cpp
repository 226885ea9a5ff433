#include "ui/add_folder_dialog_win.h"

#include "app/resource.h"
#include "ui/dialog_page_win.h"

namespace {

class CAddfolderDlg : public CDialogPage {
 public:
  explicit CAddfolderDlg(AddFolderDialogData& data) : CDialogPage(IDD_ADD_FOLDER), data_(data) {}

 private:
  void OnInit() override { SetItemText(IDC_FOLDER_NAME, data_.name); }
  bool Save() override {
    data_.name = ItemText(IDC_FOLDER_NAME);
    return true;
  }

  AddFolderDialogData& data_;
};

}  // namespace

bool RunAddFolderDialog(HWND owner, HINSTANCE instance, AddFolderDialogData& data) {
  return CAddfolderDlg(data).RunModal(owner, instance);
}
