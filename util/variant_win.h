// VARIANT values that borrow what they hold (nothing to clear), for arguments and properties.
#pragma once

#include <windows.h>
#include <oaidl.h>

inline VARIANT EmptyArgument() {
  VARIANT v;
  ::VariantInit(&v);
  return v;
}

inline VARIANT TextArgument(BSTR text) {
  VARIANT v = EmptyArgument();
  v.vt = VT_BSTR;
  v.bstrVal = text;
  return v;
}

inline VARIANT IntegerArgument(long value) {
  VARIANT v = EmptyArgument();
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

inline VARIANT BoolArgument(bool value) {
  VARIANT v = EmptyArgument();
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

inline VARIANT ObjectArgument(IDispatch* object) {
  VARIANT v = EmptyArgument();
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

// An optional argument left out.
inline VARIANT MissingArgument() {
  VARIANT v = EmptyArgument();
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}
