// A dialog bound to an object: a property sheet page or a modal dialog of its own. Controls are
// views of the object's data: filled at start, read back when the page is left or confirmed.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <optional>
#include <vector>

#include "util/text.h"

class CDialogPage {
 public:
  explicit CDialogPage(int templateId) : templateId_(templateId) {}
  CDialogPage(const CDialogPage&) = delete;
  CDialogPage& operator=(const CDialogPage&) = delete;
  virtual ~CDialogPage() = default;

  // A property sheet page of this object; the object must outlive the sheet.
  PROPSHEETPAGEW Describe(HINSTANCE instance);
  // As a modal dialog of its own: true when it ended with IDOK.
  bool RunModal(HWND owner, HINSTANCE instance);

 protected:
  HWND hwnd() const { return hwnd_; }
  // The sheet, or the dialog itself when it runs on its own: the owner of message boxes.
  HWND Frame() const;

  virtual void OnInit() {}
  // Reads the controls into the data; false (after telling the user) keeps the page open.
  virtual bool Save() { return true; }
  // WM_COMMAND from a control; true when handled.
  virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
  // Any other message; nullopt leaves it to the dialog manager.
  virtual std::optional<INT_PTR> OnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }
  // A modal dialog's OK, after Save succeeded; false keeps it open.
  virtual bool OnOk() { return true; }

  Text ItemText(int id) const;
  void SetItemText(int id, TextView text) const;
  bool Checked(int id) const;
  void SetChecked(int id, bool checked) const;
  void Enable(int id, bool enabled) const;
  void Show(int id, bool shown) const;
  // The selected index of a combo box, -1 when none.
  int Selection(int id) const;
  void FillList(int id, const std::vector<const wchar_t*>& entries, int selected) const;
  // The integer in an edit field within the range; otherwise the platform's message, the focus
  // on the field, and nullopt.
  std::optional<int32_t> ReadInteger(int id, int32_t minimum, int32_t maximum) const;
  void Message(TextView text, UINT icon) const;

 private:
  static INT_PTR CALLBACK PageProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static INT_PTR CALLBACK ModalProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static INT_PTR Dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, CDialogPage* binding) noexcept;
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnNotify(const NMHDR& header);

  const int templateId_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

// Runs a modal sheet of the pages, without an Apply button; true when it ended with OK.
bool RunPropertySheet(HWND owner, HINSTANCE instance, TextView caption, const std::vector<CDialogPage*>& pages);
