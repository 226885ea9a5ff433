// COM without ATL: QueryInterface answered from a table, reference counting that holds the
// module, and the dispatch interface of a class answered from the band's type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <iterator>

#include "band/band_module_win.h"
#include "util/unique_handle_win.h"

// One interface the object answers: its id and the cast from the object to it.
struct QiEntry {
  const IID* iid;
  IUnknown* (*cast)(void* object) noexcept;
};

// `Via` picks the base when the target is inherited along several paths (IDispatch, IOleWindow).
template <typename Class, typename Target, typename Via = Target>
IUnknown* QiCast(void* object) noexcept {
  return static_cast<Target*>(static_cast<Via*>(static_cast<Class*>(object)));
}

// IUnknown is answered with the table's first interface.
HRESULT QueryFromTable(void* object, const QiEntry* entries, size_t count, REFIID iid, void** out) noexcept;

// The reference count of an object; the module stays loaded while any object lives.
class CObjectRefs {
 public:
  CObjectRefs() noexcept { LockBandModule(); }
  ~CObjectRefs() { UnlockBandModule(); }
  CObjectRefs(const CObjectRefs&) = delete;
  CObjectRefs& operator=(const CObjectRefs&) = delete;
  ULONG Add() noexcept { return ++count_; }
  ULONG Remove() noexcept { return --count_; }

 private:
  std::atomic<ULONG> count_{1};
};

// The three IUnknown methods of a class whose table is the static member kInterfaces.
#define PELUN_COM_UNKNOWN()                                                                    \
  STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override {                     \
    return QueryFromTable(this, kInterfaces, std::size(kInterfaces), iid, out);               \
  }                                                                                            \
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return refs_.Add(); }                     \
  STDMETHODIMP_(ULONG) Release() noexcept override {                                          \
    const ULONG left = refs_.Remove();                                                         \
    if (left == 0) delete this;                                                                \
    return left;                                                                               \
  }

// Answers IDispatch for one dual interface through its description in the band's type library.
class CTypeInfoDispatch {
 public:
  explicit CTypeInfoDispatch(REFIID iid) noexcept;
  HRESULT GetTypeInfoCount(UINT* count) noexcept;
  HRESULT GetTypeInfo(UINT index, ITypeInfo** info) noexcept;
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept;
  HRESULT Invoke(void* dualInterface, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argError) noexcept;

 private:
  com_ptr<ITypeInfo> info_;
};

// The four IDispatch methods of a class whose CTypeInfoDispatch member is dispatch_ and whose
// dual interface is `Dual`.
#define PELUN_COM_DISPATCH(Dual)                                                               \
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override {                              \
    return dispatch_.GetTypeInfoCount(count);                                                  \
  }                                                                                            \
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override {            \
    return dispatch_.GetTypeInfo(index, info);                                                 \
  }                                                                                            \
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept \
      override {                                                                               \
    return dispatch_.GetIDsOfNames(names, count, ids);                                         \
  }                                                                                            \
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, \
                      EXCEPINFO* exception, UINT* argError) noexcept override {               \
    return dispatch_.Invoke(static_cast<Dual*>(this), id, flags, params, result, exception,    \
                            argError);                                                         \
  }
