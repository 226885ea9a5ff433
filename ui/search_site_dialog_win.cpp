#include "ui/search_site_dialog_win.h"

#include <optional>

#include "app/resource.h"
#include "ui/dialog_page_win.h"
#include "util/wide_win.h"

namespace {

class CAddsearchsiteDlg : public CDialogPage {
 public:
  explicit CAddsearchsiteDlg(SearchSiteDialogData& data) : CDialogPage(IDD_SEARCH_SITE), data_(data) {}

 private:
  enum class Which { kPage, kFeed };

  // The list sorts by name; each entry keeps the index of its definition.
  void OnInit() override {
    HWND list = ::GetDlgItem(hwnd(), IDC_SEARCH_SITE);
    for (size_t i = 0; i < data_.sites.size(); ++i) {
      const LRESULT at = ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(data_.sites[i].face)));
      if (at >= 0) ::SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
    }
    if (!data_.sites.empty()) ::SendMessageW(list, CB_SETCURSEL, 0, 0);
  }

  bool OnCommand(int id, int code) override {
    if (id != IDC_SEARCH_PREVIEW || code != BN_CLICKED) return false;
    if (auto url = Build(Which::kPage)) data_.preview(*url);
    return true;
  }

  bool OnOk() override {
    auto url = Build(Which::kFeed);
    if (!url) return false;
    data_.feedUrl = std::move(*url);
    return true;
  }

  std::optional<Text> Build(Which which) const {
    const int selected = Selection(IDC_SEARCH_SITE);
    const LRESULT index =
        selected < 0 ? CB_ERR : ::SendDlgItemMessageW(hwnd(), IDC_SEARCH_SITE, CB_GETITEMDATA, selected, 0);
    if (index < 0 || static_cast<size_t>(index) >= data_.sites.size()) {
      Message(u"検索サイトを選択してください。", 0);
      return std::nullopt;
    }
    const Text keyword = ItemText(IDC_SEARCH_KEYWORD);
    if (keyword.empty()) {
      Message(u"検索ワードを入力してください。", 0);
      return std::nullopt;
    }
    const SearchSite& site = data_.sites[static_cast<size_t>(index)];
    Text url = BuildSearchUrl(which == Which::kPage ? site.pageTemplate : site.feedTemplate, keyword);
    if (url.empty()) {
      Message(u"文字コード変換中にエラーが発生しました。", 0);
      return std::nullopt;
    }
    return url;
  }

  SearchSiteDialogData& data_;
};

}  // namespace

bool RunSearchSiteDialog(HWND owner, HINSTANCE instance, SearchSiteDialogData& data) {
  CAddsearchsiteDlg dialog(data);
  return dialog.RunModal(owner, instance);
}
