#include "ui/site_dialogs_win.h"

#include <algorithm>

#include "app/resource.h"
#include "ui/dialog_page_win.h"
#include "util/wide_win.h"

namespace {

class CAddsiteDlg : public CDialogPage {
 public:
  explicit CAddsiteDlg(AddSiteDialogData& data) : CDialogPage(IDD_ADDSITE), data_(data) {}

 private:
  void OnInit() override {
    SetItemText(IDC_ADDSITE_URL, data_.url);
    std::vector<Text> entries{u"カーソル位置"};
    for (const auto& name : data_.folderNames) entries.push_back(u"【" + name + u"】");
    std::vector<const wchar_t*> texts;
    for (const auto& entry : entries) texts.push_back(W(entry));
    FillList(IDC_ADDSITE_TARGET, texts, 0);
  }
  bool Save() override {
    data_.url = ItemText(IDC_ADDSITE_URL);
    data_.target = std::max(Selection(IDC_ADDSITE_TARGET), 0);
    return true;
  }

  AddSiteDialogData& data_;
};

class CUserDialog : public CDialogPage {
 public:
  explicit CUserDialog(UserDialogData& data) : CDialogPage(IDD_USER), data_(data) {}

 private:
  void OnInit() override { SetItemText(IDC_USER_NAME, data_.user); }
  bool Save() override {
    data_.user = ItemText(IDC_USER_NAME);
    data_.password = ItemText(IDC_USER_PASSWORD);
    return true;
  }

  UserDialogData& data_;
};

}  // namespace

bool RunAddSiteDialog(HWND owner, HINSTANCE instance, AddSiteDialogData& data) {
  return CAddsiteDlg(data).RunModal(owner, instance);
}

bool RunUserDialog(HWND owner, HINSTANCE instance, UserDialogData& data) {
  return CUserDialog(data).RunModal(owner, instance);
}
