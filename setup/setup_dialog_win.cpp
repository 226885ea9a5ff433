#include "setup/setup_dialog_win.h"

#include "setup/resource.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr wchar_t kCaption[] = L"IE用拡張機能 for pelun";
constexpr char16_t kBandFile[] = u"pelunband.dll";

struct BandAction {
  const char* exportName;
  const wchar_t* done;
  const wchar_t* failed;
};

constexpr BandAction kRegister = {"DllRegisterServer", L"登録が完了しました。\nInternet Explorer再起動後に有効になります。",
                                  L"登録に失敗しました。"};
constexpr BandAction kUnregister = {"DllUnregisterServer",
                                    L"登録解除が完了しました。\nInternet Explorer再起動後に有効になります。",
                                    L"登録解除に失敗しました。"};

// Done only when the band loaded, has the export, and the export succeeded: a missing export or
// a failure code is no completed registration.
bool CallBandExport(const Text& programFolder, const char* exportName) {
  unique_hmodule band(::LoadLibraryW(W(programFolder + u"\\" + kBandFile)));
  if (!band) return false;
  using Export = HRESULT(STDAPICALLTYPE*)();
  auto call = reinterpret_cast<Export>(::GetProcAddress(band.get(), exportName));
  return call && SUCCEEDED(call());
}

void OnBandButton(HWND dialog, const SetupDialogData& data, const BandAction& action) {
  if (CallBandExport(data.programFolder, action.exportName)) {
    ::MessageBoxW(dialog, action.done, kCaption, MB_OK | MB_ICONINFORMATION);
    ::EndDialog(dialog, IDOK);
  } else {
    ::MessageBoxW(dialog, action.failed, kCaption, MB_OK | MB_ICONERROR);
  }
}

INT_PTR CALLBACK SetupDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    if (message == WM_INITDIALOG) {
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return TRUE;
    }
    const auto* data = reinterpret_cast<const SetupDialogData*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_COMMAND || !data) return FALSE;
    switch (LOWORD(wParam)) {
      case IDC_REGISTER_BAND:
        OnBandButton(dialog, *data, kRegister);
        return TRUE;
      case IDC_UNREGISTER_BAND:
        OnBandButton(dialog, *data, kUnregister);
        return TRUE;
      case IDCANCEL:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

void RunSetupDialog(HINSTANCE instance, SetupDialogData& data) {
  ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, &SetupDialogProcedure,
                    reinterpret_cast<LPARAM>(&data));
}
