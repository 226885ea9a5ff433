// The view's drop target: moves dragged sites and folders, and registers dropped links and
// files as sites.
#pragma once

#include <oleidl.h>

class CChildView;

class CSiteDropTarget final : public IDropTarget {
 public:
  // Created with one reference, owned by the caller; the view outlives its registration.
  static CSiteDropTarget* Create(CChildView& view) { return new CSiteDropTarget(view); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept override;

 private:
  enum class Kind { kNone, kSite, kFolder, kOutside };

  explicit CSiteDropTarget(CChildView& view) : view_(view) {}
  ~CSiteDropTarget() = default;
  static Kind KindOf(IDataObject* data);
  POINT TreePoint(POINTL screen) const;
  void ShowTarget(POINT client);
  void Accept(IDataObject* data, POINT client);

  LONG references_ = 1;
  CChildView& view_;
  Kind kind_ = Kind::kNone;
  DWORD enterTick_ = 0;       // when the current drag entered
  bool broughtToFront_ = false;
  DWORD lastScrollTick_ = 0;
};
