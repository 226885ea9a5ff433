#include "band/band_registration_win.h"

#include <oleauto.h>
#include <olectl.h>
#include <shlwapi.h>

#include "band/band_module_win.h"
#include "pelunband_h.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr char16_t kAppId[] = u"{FE4F5263-11D5-4724-95BA-A978983B6369}";
constexpr char16_t kBandClsid[] = u"{DE2BA9C8-CF2E-41DF-8B64-441C516B64AE}";
constexpr char16_t kUtilClsid[] = u"{A222643E-744A-46F8-85FE-02883EC5C2E3}";
constexpr char16_t kLibId[] = u"{DBFD22D6-5229-407D-A407-E15D7FF35253}";
constexpr char16_t kToolbarKey[] = u"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
constexpr char16_t kMenuExtKey[] = u"Software\\Microsoft\\Internet Explorer\\MenuExt\\";
constexpr char16_t kFindMenuItem[] = u"pelun: RSSを探して追加する";
constexpr char16_t kSelectedMenuItem[] = u"pelun: 選択中のRSSを追加する";
constexpr char16_t kStatsKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\{A222643E-744A-46F8-85FE-02883EC5C2E3}";
// Menu contexts: default, control, text selection and anchor; image and anchor.
constexpr DWORD kFindMenuContexts = 0x35;
constexpr DWORD kSelectedMenuContexts = 0x22;

struct ComClass {
  const char16_t* clsid;
  const char16_t* description;
  const char16_t* progId;  // version-independent; the versioned one adds ".1"
  const char16_t* menuName;
};

constexpr ComClass kClasses[] = {
    {kBandClsid, u"RssToolBand Class", u"RssToolbar.RssToolBand", u"pelun拡張ツールバー(&C)"},
    {kUtilClsid, u"PelunUtil Class", u"RssToolbar.PelunUtil", u"PelunUtil Class"},
};

bool SetValue(HKEY root, const Text& key, const char16_t* name, const Text& data) {
  unique_hkey opened;
  if (::RegCreateKeyExW(root, W(key), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(), nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(opened.get(), name ? W(name) : nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

bool SetDword(HKEY root, const Text& key, const char16_t* name, DWORD data) {
  unique_hkey opened;
  if (::RegCreateKeyExW(root, W(key), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(), nullptr) != ERROR_SUCCESS)
    return false;
  return ::RegSetValueExW(opened.get(), W(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const Text& key) { ::SHDeleteKeyW(root, W(key)); }

void DeleteValue(HKEY root, const Text& key, const char16_t* name) {
  unique_hkey opened;
  if (::RegOpenKeyExW(root, W(key), 0, KEY_SET_VALUE, opened.put()) == ERROR_SUCCESS)
    ::RegDeleteValueW(opened.get(), W(name));
}

Text ClsidKey(const ComClass& c) { return Text(u"CLSID\\") + c.clsid; }

// The AppID script: the AppID key under the shared AppID key, and the module's entry.
bool RegisterAppId() {
  return SetValue(HKEY_CLASSES_ROOT, Text(u"AppID\\") + kAppId, nullptr, u"pelunband") &&
         SetValue(HKEY_CLASSES_ROOT, u"AppID\\pelunband.dll", u"AppID", kAppId);
}

void UnregisterAppId() {
  DeleteTree(HKEY_CLASSES_ROOT, Text(u"AppID\\") + kAppId);
  DeleteTree(HKEY_CLASSES_ROOT, u"AppID\\pelunband.dll");
}

bool RegisterComClass(const ComClass& c, const Text& modulePath) {
  const Text progId = c.progId, versioned = progId + u".1", key = ClsidKey(c);
  DeleteTree(HKEY_CLASSES_ROOT, key);  // ForceRemove: written afresh
  bool ok = SetValue(HKEY_CLASSES_ROOT, versioned, nullptr, c.description);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, versioned + u"\\CLSID", nullptr, c.clsid);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, progId, nullptr, c.description);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, progId + u"\\CLSID", nullptr, c.clsid);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, progId + u"\\CurVer", nullptr, versioned);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key, nullptr, c.menuName);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key, u"AppID", kAppId);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key + u"\\ProgID", nullptr, versioned);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key + u"\\VersionIndependentProgID", nullptr, progId);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key + u"\\Programmable", nullptr, u"");
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key + u"\\InprocServer32", nullptr, modulePath);
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key + u"\\InprocServer32", u"ThreadingModel", u"Apartment");
  ok = ok && SetValue(HKEY_CLASSES_ROOT, key + u"\\TypeLib", nullptr, kLibId);
  return ok;
}

void UnregisterComClass(const ComClass& c) {
  const Text progId = c.progId;
  DeleteTree(HKEY_CLASSES_ROOT, progId + u".1");
  DeleteTree(HKEY_CLASSES_ROOT, progId);
  DeleteTree(HKEY_CLASSES_ROOT, ClsidKey(c));
}

HRESULT RegisterClassesAndTypeLibrary(const Text& modulePath) {
  for (const ComClass& c : kClasses)
    if (!RegisterComClass(c, modulePath)) return SELFREG_E_CLASS;
  com_ptr<ITypeLib> library;
  HRESULT result = ::LoadTypeLibEx(W(modulePath), REGKIND_NONE, library.put());
  if (SUCCEEDED(result)) result = ::RegisterTypeLib(library.get(), const_cast<LPOLESTR>(W(modulePath)), nullptr);
  return SUCCEEDED(result) ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT UnregisterClassesAndTypeLibrary() {
  for (const ComClass& c : kClasses) UnregisterComClass(c);
  const HRESULT result = ::UnRegisterTypeLib(LIBID_RssToolbarLib, 1, 0, LOCALE_NEUTRAL,
                                             sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  return SUCCEEDED(result) || result == TYPE_E_REGISTRYACCESS ? S_OK : SELFREG_E_TYPELIB;
}

Text ResourceUrl(const Text& modulePath, const char16_t* page) { return u"res://" + modulePath + u"/" + page; }

// The browser's toolbar list, its context menu and the helper's permission in the pages of
// this module: written best-effort, as the browser may be missing.
void RegisterBrowserEntries(const Text& modulePath) {
  SetValue(HKEY_LOCAL_MACHINE, kToolbarKey, kBandClsid, u"");
  const Text find = Text(kMenuExtKey) + kFindMenuItem, selected = Text(kMenuExtKey) + kSelectedMenuItem;
  SetValue(HKEY_CURRENT_USER, find, nullptr, ResourceUrl(modulePath, u"addrss.html"));
  SetDword(HKEY_CURRENT_USER, find, u"Contexts", kFindMenuContexts);
  SetValue(HKEY_CURRENT_USER, selected, nullptr, ResourceUrl(modulePath, u"addrss2.html"));
  SetDword(HKEY_CURRENT_USER, selected, u"Contexts", kSelectedMenuContexts);
  const Text domain = Text(kStatsKey) + u"\\iexplore\\AllowedDomains\\" + modulePath;
  if (SetValue(HKEY_CURRENT_USER, domain, nullptr, u"")) {
    unique_hkey opened;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, W(domain), 0, KEY_SET_VALUE, opened.put()) == ERROR_SUCCESS)
      ::RegDeleteValueW(opened.get(), nullptr);
  }
}

void UnregisterBrowserEntries() {
  DeleteValue(HKEY_LOCAL_MACHINE, kToolbarKey, kBandClsid);
  DeleteTree(HKEY_CURRENT_USER, Text(kMenuExtKey) + kFindMenuItem);
  DeleteTree(HKEY_CURRENT_USER, Text(kMenuExtKey) + kSelectedMenuItem);
  DeleteTree(HKEY_CURRENT_USER, kStatsKey);
}

}  // namespace

HRESULT RegisterBandServer() {
  const Text modulePath = BandModulePath();
  if (modulePath.empty()) return SELFREG_E_CLASS;
  RegisterAppId();
  const HRESULT result = RegisterClassesAndTypeLibrary(modulePath);
  RegisterBrowserEntries(modulePath);
  return result;
}

HRESULT UnregisterBandServer() {
  UnregisterAppId();
  const HRESULT result = UnregisterClassesAndTypeLibrary();
  UnregisterBrowserEntries();
  return result;
}
