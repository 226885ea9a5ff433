// The dispatch sink on the browser's DWebBrowserEvents2: navigation events go to the band.
#pragma once

#include <oaidl.h>

#include "band/com_object_win.h"

class CRssToolBand;

class CBrowserEventSink final : public IDispatch {
 public:
  explicit CBrowserEventSink(CRssToolBand* band) noexcept : band_(band) {}

  PELUN_COM_UNKNOWN()
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) noexcept override;

  // The band is going: events that still arrive are ignored.
  void Detach() noexcept { band_ = nullptr; }

  static const QiEntry kInterfaces[2];

 private:
  ~CBrowserEventSink() = default;
  CObjectRefs refs_;
  CRssToolBand* band_;
};
