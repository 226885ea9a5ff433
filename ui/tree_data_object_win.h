// What a drag started on a tree node offers: the node's label as text and its item id under
// the site or folder format, from memory blocks copied on each request.
#pragma once

#include <objidl.h>
#include <oleidl.h>

#include <string>
#include <vector>

#include "store/item_id.h"

class CTreeDataObject final : public IDataObject {
 public:
  // Created with one reference, owned by the caller. `label` in the system code page. Format 0
  // offers the label alone, as text dragged from another program does.
  static CTreeDataObject* Create(UINT idFormat, ItemId id, const std::string& label);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) noexcept override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  struct Offer {
    FORMATETC format;
    std::string bytes;
  };
  CTreeDataObject() = default;
  ~CTreeDataObject() = default;
  const Offer* Find(const FORMATETC* format) const;

  LONG references_ = 1;
  std::vector<Offer> offers_;
};

// The drag goes on while the left button is held, and Escape cancels it.
class CTreeDropSource final : public IDropSource {
 public:
  static CTreeDropSource* Create() { return new CTreeDropSource(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) noexcept override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  CTreeDropSource() = default;
  ~CTreeDropSource() = default;
  LONG references_ = 1;
};
