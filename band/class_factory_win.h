// The class factory of the band's two classes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "band/com_object_win.h"

// Creates one object and answers `iid` on it.
using CreateObjectFunction = HRESULT (*)(REFIID iid, void** out);

class CClassFactory final : public IClassFactory {
 public:
  explicit CClassFactory(CreateObjectFunction create) noexcept : create_(create) {}

  PELUN_COM_UNKNOWN()
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
  STDMETHODIMP LockServer(BOOL lock) noexcept override;

  static const QiEntry kInterfaces[1];

 private:
  virtual ~CClassFactory() = default;
  CObjectRefs refs_;
  CreateObjectFunction create_;
};

// Creates a new object of class T and answers `iid` on it; T starts with one reference.
template <typename T>
HRESULT CreateComObject(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  T* object = new (std::nothrow) T();
  if (!object) return E_OUTOFMEMORY;
  const HRESULT result = object->QueryInterface(iid, out);
  object->Release();
  return result;
}
