#include "ui/item_property_sheets_win.h"

#include "app/resource.h"
#include "ui/dialog_page_win.h"

namespace {

// The read-only statistics take the focus without selecting their text.
bool KeepStatisticsUnselected(HWND page, int id, int code) {
  if (id != IDC_ITEM_STATISTICS || code != EN_SETFOCUS) return false;
  ::SendDlgItemMessageW(page, IDC_ITEM_STATISTICS, EM_SETSEL, 0, 0);
  return true;
}

// A page with an address and its credentials (the same control ids on the site's and the
// OPML page): editing the address empties the password, which belongs to the old one.
class CSourcePage : public CDialogPage {
 protected:
  CSourcePage(int templateId, ItemSourceFields& source) : CDialogPage(templateId), source_(source) {}

  // The address first: its change notice would empty the password set before it.
  void FillSource() const {
    SetItemText(IDC_SITE_SRC, source_.src);
    SetItemText(IDC_SITE_USER, source_.user);
    SetItemText(IDC_SITE_PASSWORD, source_.password);
  }
  void SaveSource() const {
    source_.src = Text(Trim(ItemText(IDC_SITE_SRC)));
    source_.user = ItemText(IDC_SITE_USER);
    source_.password = ItemText(IDC_SITE_PASSWORD);
  }
  bool OnCommand(int id, int code) override {
    if (id == IDC_SITE_SRC && code == EN_CHANGE) {
      SetItemText(IDC_SITE_PASSWORD, u"");
      return true;
    }
    return KeepStatisticsUnselected(hwnd(), id, code);
  }

 private:
  ItemSourceFields& source_;
};

class CRssPropertyPage1 : public CSourcePage {
 public:
  explicit CRssPropertyPage1(SiteSheetData& data) : CSourcePage(IDD_SITE_GENERAL, data.form.source), data_(data) {}

 private:
  void OnInit() override {
    SetItemText(IDC_SITE_TITLE, data_.form.title);
    FillSource();
    SetItemText(IDC_SITE_LINK, data_.link);
    SetChecked(IDC_SITE_USE_DATE, data_.form.compareDate);
    SetChecked(IDC_SITE_NO_CHECK, data_.form.noCheck);
  }
  bool Save() override {
    data_.form.title = ItemText(IDC_SITE_TITLE);
    SaveSource();
    data_.form.compareDate = Checked(IDC_SITE_USE_DATE);
    data_.form.noCheck = Checked(IDC_SITE_NO_CHECK);
    return true;
  }

  SiteSheetData& data_;
};

class CRssPropertyPage2 : public CDialogPage {
 public:
  explicit CRssPropertyPage2(const Text& statistics) : CDialogPage(IDD_SITE_INFO), statistics_(statistics) {}

 private:
  void OnInit() override { SetItemText(IDC_ITEM_STATISTICS, statistics_); }
  bool OnCommand(int id, int code) override { return KeepStatisticsUnselected(hwnd(), id, code); }

  const Text& statistics_;
};

class CPropertyPage1 : public CDialogPage {
 public:
  explicit CPropertyPage1(FolderForm& form) : CDialogPage(IDD_FOLDER_GENERAL), f_(form) {}

 private:
  void OnInit() override {
    SetItemText(IDC_FOLDER_TITLE, f_.title);
    SetChecked(IDC_FOLDER_OWN_INTERVAL, f_.ownInterval);
    SetChecked(IDC_FOLDER_PERIODIC, f_.periodic);
    SetItemText(IDC_FOLDER_MINUTES, DecimalText(f_.minutes));
    UpdateControls();
  }
  bool Save() override {
    const auto minutes = ReadInteger(IDC_FOLDER_MINUTES, 15, 999);
    if (!minutes) return false;
    f_.title = ItemText(IDC_FOLDER_TITLE);
    f_.ownInterval = Checked(IDC_FOLDER_OWN_INTERVAL);
    f_.periodic = Checked(IDC_FOLDER_PERIODIC);
    f_.minutes = *minutes;
    return true;
  }
  bool OnCommand(int id, int) override {
    if (id != IDC_FOLDER_OWN_INTERVAL && id != IDC_FOLDER_PERIODIC) return false;
    UpdateControls();
    return true;
  }
  void UpdateControls() const {
    const bool own = Checked(IDC_FOLDER_OWN_INTERVAL);
    Enable(IDC_FOLDER_PERIODIC, own);
    Enable(IDC_FOLDER_MINUTES, own && Checked(IDC_FOLDER_PERIODIC));
  }

  FolderForm& f_;
};

class CPropertyPage2 : public CDialogPage {
 public:
  explicit CPropertyPage2(FolderForm& form) : CDialogPage(IDD_FOLDER_FILTER), f_(form) {}

 private:
  static constexpr int kControls[] = {IDC_FILTER_KEYWORDS, IDC_FILTER_ANY,  IDC_FILTER_INCLUDE, IDC_FILTER_ACTION,
                                      IDC_FILTER_TITLE,    IDC_FILTER_BODY, IDC_FILTER_LINK,    IDC_FILTER_CREATOR};

  void OnInit() override {
    SetChecked(IDC_FILTER_ON, f_.filterOn);
    SetItemText(IDC_FILTER_KEYWORDS, f_.keywords);
    FillList(IDC_FILTER_ANY, {L"A かつ B", L"A または B"}, f_.anyKeyword);
    FillList(IDC_FILTER_INCLUDE, {L"含まない", L"含む"}, f_.include);
    FillList(IDC_FILTER_ACTION, {L"概要を表示しない", L"新着通知しない、表示しない"}, f_.hideFromNews);
    SetChecked(IDC_FILTER_TITLE, f_.searchTitle);
    SetChecked(IDC_FILTER_BODY, f_.searchBody);
    SetChecked(IDC_FILTER_LINK, f_.searchLink);
    SetChecked(IDC_FILTER_CREATOR, f_.searchCreator);
    UpdateControls();
  }
  bool Save() override {
    f_.filterOn = Checked(IDC_FILTER_ON);
    f_.keywords = ItemText(IDC_FILTER_KEYWORDS);
    f_.anyKeyword = Selection(IDC_FILTER_ANY) == 1 ? 1 : 0;
    f_.include = Selection(IDC_FILTER_INCLUDE) == 1 ? 1 : 0;
    f_.hideFromNews = Selection(IDC_FILTER_ACTION) == 1 ? 1 : 0;
    f_.searchTitle = Checked(IDC_FILTER_TITLE);
    f_.searchBody = Checked(IDC_FILTER_BODY);
    f_.searchLink = Checked(IDC_FILTER_LINK);
    f_.searchCreator = Checked(IDC_FILTER_CREATOR);
    return true;
  }
  bool OnCommand(int id, int) override {
    if (id != IDC_FILTER_ON) return false;
    UpdateControls();
    return true;
  }
  void UpdateControls() const {
    for (int id : kControls) Enable(id, Checked(IDC_FILTER_ON));
  }

  FolderForm& f_;
};

class CPropertyPage3 : public CSourcePage {
 public:
  CPropertyPage3(ItemSourceFields& source, const Text& statistics)
      : CSourcePage(IDD_FOLDER_OPML, source), statistics_(statistics) {}

 private:
  void OnInit() override {
    FillSource();
    SetItemText(IDC_ITEM_STATISTICS, statistics_);
  }
  bool Save() override {
    SaveSource();
    return true;
  }

  const Text& statistics_;
};

}  // namespace

bool RunSiteSheet(HWND owner, HINSTANCE instance, TextView caption, SiteSheetData& data) {
  CRssPropertyPage1 general(data);
  CRssPropertyPage2 info(data.statistics);
  return RunPropertySheet(owner, instance, caption, {&general, &info});
}

bool RunFolderSheet(HWND owner, HINSTANCE instance, TextView caption, FolderSheetData& data) {
  CPropertyPage1 general(data.form);
  CPropertyPage2 filter(data.form);
  std::vector<CDialogPage*> pages{&general, &filter};
  std::optional<CPropertyPage3> opml;
  if (data.form.source) pages.push_back(&opml.emplace(*data.form.source, data.statistics));
  return RunPropertySheet(owner, instance, caption, pages);
}
