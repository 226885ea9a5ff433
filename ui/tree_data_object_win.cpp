#include "ui/tree_data_object_win.h"

#include <shlobj.h>

#include <cstring>

namespace {

template <typename Interface, typename Self>
HRESULT QueryOne(Self* self, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
    *object = static_cast<Interface*>(self);
    self->AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

FORMATETC GlobalFormat(UINT format) { return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

CTreeDataObject* CTreeDataObject::Create(UINT idFormat, ItemId id, const std::string& label) {
  auto* object = new CTreeDataObject();
  std::string idBytes(sizeof id, '\0');
  std::memcpy(idBytes.data(), &id, sizeof id);
  if (idFormat) object->offers_.push_back({GlobalFormat(idFormat), idBytes});
  object->offers_.push_back({GlobalFormat(CF_TEXT), label + '\0'});
  return object;
}

HRESULT CTreeDataObject::QueryInterface(REFIID iid, void** object) noexcept {
  return QueryOne<IDataObject>(this, iid, object);
}
ULONG CTreeDataObject::AddRef() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
ULONG CTreeDataObject::Release() noexcept {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

const CTreeDataObject::Offer* CTreeDataObject::Find(const FORMATETC* format) const {
  if (!format || !(format->tymed & TYMED_HGLOBAL) || format->dwAspect != DVASPECT_CONTENT) return nullptr;
  for (const auto& offer : offers_)
    if (offer.format.cfFormat == format->cfFormat) return &offer;
  return nullptr;
}

HRESULT CTreeDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
  if (!medium) return E_POINTER;
  const Offer* offer = Find(format);
  if (!offer) return DV_E_FORMATETC;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, offer->bytes.size());
  if (!block) return E_OUTOFMEMORY;
  std::memcpy(::GlobalLock(block), offer->bytes.data(), offer->bytes.size());
  ::GlobalUnlock(block);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;  // the receiver frees it
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT CTreeDataObject::QueryGetData(FORMATETC* format) noexcept { return Find(format) ? S_OK : DV_E_FORMATETC; }

HRESULT CTreeDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT CTreeDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) noexcept {
  if (!formats) return E_POINTER;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> list;
  for (const auto& offer : offers_) list.push_back(offer.format);
  return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
}

HRESULT CTreeDropSource::QueryInterface(REFIID iid, void** object) noexcept {
  return QueryOne<IDropSource>(this, iid, object);
}
ULONG CTreeDropSource::AddRef() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
ULONG CTreeDropSource::Release() noexcept {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT CTreeDropSource::QueryContinueDrag(BOOL escape, DWORD keys) noexcept {
  if (escape) return DRAGDROP_S_CANCEL;
  return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
}
