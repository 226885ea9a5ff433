#include "band/dispatch_call_win.h"

#include <algorithm>
#include <vector>

#include "util/wide_win.h"

HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD kind, std::initializer_list<VARIANT> arguments,
                   unique_variant& result) {
  if (!object) return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  // The dispatch convention passes arguments last to first.
  std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result.put(), nullptr, nullptr);
}

std::optional<Text> TextProperty(IDispatch* object, const wchar_t* name) {
  unique_variant value;
  if (FAILED(CallByName(object, name, DISPATCH_PROPERTYGET, {}, value))) return std::nullopt;
  if (value.get().vt == VT_NULL || value.get().vt == VT_EMPTY) return Text();
  unique_variant text;
  if (FAILED(::VariantChangeType(text.put(), value.in(), 0, VT_BSTR))) return std::nullopt;
  BSTR bstr = text.get().bstrVal;
  return bstr ? FromWide(bstr, ::SysStringLen(bstr)) : Text();
}

com_ptr<IDispatch> ObjectProperty(IDispatch* object, const wchar_t* name) {
  unique_variant value;
  if (FAILED(CallByName(object, name, DISPATCH_PROPERTYGET, {}, value)) || value.get().vt != VT_DISPATCH ||
      !value.get().pdispVal)
    return {};
  return QueryDispatch(value.get().pdispVal, IID_IDispatch);
}

com_ptr<IDispatch> QueryDispatch(IUnknown* object, REFIID iid) {
  com_ptr<IDispatch> result;
  if (object) object->QueryInterface(iid, result.put_void());
  return result;
}

