#include "tests/wine/band_host_fakes.h"

#include <exdisp.h>
#include <olectl.h>
#include <shlguid.h>

STDMETHODIMP CFakeDispatch::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  bool answered = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
  for (const IID& claimed : answers_) answered = answered || IsEqualIID(iid, claimed);
  if (answered) *out = static_cast<IDispatch*>(this);
  if (events_ && IsEqualIID(iid, IID_IConnectionPointContainer)) *out = static_cast<IConnectionPointContainer*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CFakeDispatch::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CFakeDispatch::GetTypeInfoCount(UINT* count) noexcept {
  *count = 0;
  return S_OK;
}

STDMETHODIMP CFakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  if (count != 1) return DISP_E_UNKNOWNNAME;
  for (size_t i = 0; i < members_.size(); ++i) {
    if (_wcsicmp(members_[i].first.c_str(), names[0]) == 0) {
      ids[0] = static_cast<DISPID>(i + 1);
      return S_OK;
    }
  }
  ids[0] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CFakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) noexcept {
  if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  VARIANT ignored;
  ::VariantInit(&ignored);
  const HRESULT hr = members_[id - 1].second(*params, result ? result : &ignored);
  ::VariantClear(&ignored);
  return hr;
}

STDMETHODIMP CFakeDispatch::FindConnectionPoint(REFIID iid, IConnectionPoint** point) noexcept {
  *point = nullptr;
  if (!IsEqualIID(iid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
  *point = this;
  AddRef();
  return S_OK;
}

STDMETHODIMP CFakeDispatch::GetConnectionInterface(IID* iid) noexcept {
  *iid = DIID_DWebBrowserEvents2;
  return S_OK;
}

STDMETHODIMP CFakeDispatch::GetConnectionPointContainer(IConnectionPointContainer** container) noexcept {
  *container = this;
  AddRef();
  return S_OK;
}

STDMETHODIMP CFakeDispatch::Advise(IUnknown* sink, DWORD* cookie) noexcept {
  if (sink_) return CONNECT_E_ADVISELIMIT;
  if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, sink_.put_void()))) return CONNECT_E_CANNOTCONNECT;
  *cookie = 1;
  return S_OK;
}

STDMETHODIMP CFakeDispatch::Unadvise(DWORD cookie) noexcept {
  if (cookie != 1 || !sink_) return CONNECT_E_NOCONNECTION;
  sink_.reset();
  return S_OK;
}

STDMETHODIMP CFakeSite::QueryInterface(REFIID iid, void** out) noexcept {
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow)) *out = static_cast<IOleWindow*>(this);
  if (IsEqualIID(iid, IID_IServiceProvider)) *out = static_cast<IServiceProvider*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CFakeSite::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CFakeSite::GetWindow(HWND* window) noexcept {
  *window = rebar_;
  return S_OK;
}

STDMETHODIMP CFakeSite::QueryService(REFGUID service, REFIID iid, void** out) noexcept {
  *out = nullptr;
  if (!IsEqualGUID(service, SID_SWebBrowserApp)) return E_NOINTERFACE;
  return browser_->QueryInterface(iid, out);
}

FakeMember TextMember(std::wstring text) {
  return [text](const DISPPARAMS&, VARIANT* result) {
    result->vt = VT_BSTR;
    result->bstrVal = ::SysAllocString(text.c_str());
    return S_OK;
  };
}

FakeMember ObjectMember(IDispatch* object) {
  return [object](const DISPPARAMS&, VARIANT* result) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    object->AddRef();
    return S_OK;
  };
}
