// The OPML commands with their file dialogs, and the other ways an address reaches the add-site
// flow: the clipboard and a dropped file.
#include "ui/child_view_win.h"

#include <commdlg.h>
#include <windowsx.h>

#include "app/private_messages.h"
#include "shared/names.h"
#include "store/opml_export.h"
#include "util/code_page.h"
#include "util/file_io_win.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

namespace {

// Pairs of label and pattern, as the common dialogs take them.
constexpr wchar_t kExportFilter[] = L"utf-8エンコード (*.*)\0*.*\0Shift-JISエンコード (*.*)\0*.*\0";
constexpr wchar_t kImportFilter[] = L"opmlファイル (*.xml; *.opml)\0*.xml; *.opml\0すべてのファイル (*.*)\0*.*\0";
constexpr DWORD kShiftJisFilterIndex = 2;

// The serialiser writes UTF-8 whatever the declaration says, so the chosen encoding is applied
// to its output.
bool WriteOpmlExport(const Text& path, const FolderList& folders, const CFolderItem* folder,
                     OpmlEncoding encoding) {
  const auto serialised = SaveXmlDocument(BuildOpmlExport(folders, folder, OpmlEncoding::kUtf8));
  if (!serialised) return false;
  const auto bytes = EncodeOpmlExport(*serialised, encoding);
  return bytes && ReplaceFileContents(path, *bytes);
}

Text ClipboardText(HWND owner) {
  if (!::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(owner)) return {};
  Text text;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(::GlobalLock(data))) {
      const size_t size = ::GlobalSize(data);
      const std::string_view view(bytes, strnlen(bytes, size));
      text = FromSystemCodePage(view).value_or(Text());
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

}  // namespace

void CChildView::ExportOpml(bool selectedOnly) {
  const CFolderItem* folder = nullptr;
  if (selectedOnly) {
    const CItemBase* item = ItemFromId(SelectedItemId());
    if (!item) return;
    folder = item->kind == CItemBase::kKindFolder ? static_cast<const CFolderItem*>(item) : item->Parent();
    if (!folder) return;
  }
  const HWND owner = ::GetParent(hwnd());
  std::wstring path(MAX_PATH * 4, L'\0');
  std::copy_n(W(kOpmlExportFileName), std::char_traits<char16_t>::length(kOpmlExportFileName), path.begin());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kExportFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!::GetSaveFileNameW(&dialog)) return;
  const OpmlEncoding encoding =
      dialog.nFilterIndex == kShiftJisFilterIndex ? OpmlEncoding::kShiftJis : OpmlEncoding::kUtf8;
  if (WriteOpmlExport(FromWide(path.c_str()), folders_, folder, encoding))
    ::MessageBoxW(owner, L"OPMLエクスポートが完了しました。", W(kApplicationTitle), MB_OK | MB_ICONINFORMATION);
  else
    ::MessageBoxW(owner, L"OPMLエクスポートが失敗しました。", W(kApplicationTitle), MB_OK | MB_ICONERROR);
}

void CChildView::ImportOpml() {
  std::wstring path(MAX_PATH * 4, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = ::GetParent(hwnd());
  dialog.lpstrFilter = kImportFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
  if (!::GetOpenFileNameW(&dialog)) return;
  AddFromUrl(FromWide(path.c_str()), SelectedItemId(), true);
}

void CChildView::PasteSite() {
  const HWND owner = ::GetParent(hwnd());
  ::SendMessageW(owner, WM_COMMAND, ID_SHOW_MAIN_WINDOW, 0);
  AddFromUrl(Trim(ClipboardText(owner)), SelectedItemId(), false);
}

// A dropped file, with lParam the drop point in the tree control's client coordinates: the
// add-site flow for the node under the point, when the tree has a selection.
LRESULT CChildView::OnFileDropped(WPARAM heapText, LPARAM point) {
  const auto text = TakeHeapText(heapText);
  if (!text || !SelectedItemId()) return 0;
  BringToFront(::GetParent(hwnd()));
  const ItemId target = NodeAtPoint(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)});
  AddFromUrl(TextView(text.get()), target ? target : SelectedItemId(), false);
  return 1;
}
