#include "band/class_factory_win.h"

const QiEntry CClassFactory::kInterfaces[1] = {{&IID_IClassFactory, &QiCast<CClassFactory, IClassFactory>}};

// Neither class is made to be aggregated: the browser creates the band, and the pages create
// the helper, each on its own.
STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return create_(iid, out);
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) noexcept {
  if (lock)
    LockBandModule();
  else
    UnlockBandModule();
  return S_OK;
}
