#include "band/com_object_win.h"

#include "util/wide_win.h"

HRESULT QueryFromTable(void* object, const QiEntry* entries, size_t count, REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (size_t i = 0; i < count; ++i) {
    if (IsEqualIID(iid, *entries[i].iid) || (i == 0 && IsEqualIID(iid, IID_IUnknown))) {
      IUnknown* found = entries[i].cast(object);
      found->AddRef();
      *out = found;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

CTypeInfoDispatch::CTypeInfoDispatch(REFIID iid) noexcept {
  com_ptr<ITypeLib> library;
  if (SUCCEEDED(::LoadTypeLibEx(W(BandModulePath()), REGKIND_NONE, library.put())))
    library->GetTypeInfoOfGuid(iid, info_.put());
}

HRESULT CTypeInfoDispatch::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = info_ ? 1 : 0;
  return S_OK;
}

HRESULT CTypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!info_) return E_FAIL;
  *info = info_.Copy().detach();
  return S_OK;
}

HRESULT CTypeInfoDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  if (!info_) return E_FAIL;
  return ::DispGetIDsOfNames(info_.get(), names, count, ids);
}

HRESULT CTypeInfoDispatch::Invoke(void* dualInterface, DISPID id, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept {
  if (!info_) return E_FAIL;
  return ::DispInvoke(dualInterface, info_.get(), id, flags, params, result, exception, argError);
}
