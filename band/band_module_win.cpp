// The band's in-process COM server entry points.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <new>
#include <vector>

#include "band/band_module_win.h"
#include "band/band_registration_win.h"
#include "band/class_factory_win.h"
#include "band/notify_catch_wnd_win.h"
#include "band/pelun_util_win.h"
#include "band/rss_tool_band_win.h"
#include "pelunband_h.h"
#include "util/wide_win.h"

namespace {

HINSTANCE g_module = nullptr;
std::atomic<long> g_locks{0};

// Beyond the longest path the platform's wide functions accept.
constexpr DWORD kMaxModulePathChars = 32768;

}  // namespace

HINSTANCE BandModule() { return g_module; }
void LockBandModule() { ++g_locks; }
void UnlockBandModule() { --g_locks; }

Text BandModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (buffer.size() <= kMaxModulePathChars) {
    const DWORD length = ::GetModuleFileNameW(g_module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return Text();
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  return Text();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && !reserved) {
    // A class outlives the module that registered it; a later load of the module would find
    // it with a procedure pointing into the code unloaded here.
    UnregisterCatchWindowClass();
  }
  return TRUE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_locks <= 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  CreateObjectFunction create = nullptr;
  if (IsEqualCLSID(clsid, CLSID_RssToolBand)) create = &CreateComObject<CRssToolBand>;
  if (IsEqualCLSID(clsid, CLSID_PelunUtil)) create = &CreateComObject<CPelunUtil>;
  if (!create) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) CClassFactory(create);
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

extern "C" HRESULT WINAPI DllRegisterServer() { return RegisterBandServer(); }
extern "C" HRESULT WINAPI DllUnregisterServer() { return UnregisterBandServer(); }
