#include "band/rebar_hook_win.h"

#include <commctrl.h>

#include <map>

#include "band/band_module_win.h"
#include "util/nesting_guard_win.h"

namespace {

struct ParentHook {
  WNDPROC previous = nullptr;
  HWND toolbar = nullptr;  // null: passes everything on
};

// All bands of the process run on the browser's window threads; the table is touched only
// there, one message at a time.
std::map<HWND, ParentHook>& ParentHookTable() {
  static std::map<HWND, ParentHook> table;
  return table;
}

bool IsForToolbar(UINT message, WPARAM wParam, LPARAM lParam, HWND toolbar) {
  if (!toolbar) return false;
  if (message == WM_COMMAND) return reinterpret_cast<HWND>(lParam) == toolbar;
  if (message != WM_NOTIFY || !lParam) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == TBN_DROPDOWN) return header->hwndFrom == toolbar;
  // The tool tips of the toolbar ask its parent for their text.
  return header->code == TTN_GETDISPINFOW &&
         header->hwndFrom == reinterpret_cast<HWND>(::SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
}

LRESULT CALLBACK RebarHookProcedure(HWND rebar, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const NestingGuard guard(rebar, reinterpret_cast<const void*>(&RebarHookProcedure));
  auto& table = ParentHookTable();
  auto entry = table.find(rebar);
  if (entry == table.end()) return ::DefWindowProcW(rebar, message, wParam, lParam);
  const ParentHook hook = entry->second;
  if (IsForToolbar(message, wParam, lParam, hook.toolbar)) return ::SendMessageW(hook.toolbar, message, wParam, lParam);
  return ::CallWindowProcW(hook.previous, rebar, message, wParam, lParam);
}

}  // namespace

bool HookRebar(HWND rebar, HWND toolbar) {
  auto& table = ParentHookTable();
  auto entry = table.find(rebar);
  if (entry != table.end()) {
    entry->second.toolbar = toolbar;
    return true;
  }
  auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(rebar, GWLP_WNDPROC));
  if (!previous) return false;
  table[rebar] = {previous, toolbar};
  if (!::SetWindowLongPtrW(rebar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RebarHookProcedure))) {
    table.erase(rebar);
    return false;
  }
  // The rebar calls into this module as long as the hook is in place.
  LockBandModule();
  return true;
}

void UnhookRebar(HWND rebar) {
  auto& table = ParentHookTable();
  auto entry = table.find(rebar);
  if (entry == table.end()) return;
  const bool ours = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(rebar, GWLP_WNDPROC)) == &RebarHookProcedure;
  if (!ours && ::IsWindow(rebar)) {
    entry->second.toolbar = nullptr;
    return;
  }
  if (ours) ::SetWindowLongPtrW(rebar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->second.previous));
  table.erase(entry);
  UnlockBandModule();
}
