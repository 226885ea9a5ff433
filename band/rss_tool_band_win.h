// The toolbar band object the browser creates in each of its windows: the host interfaces,
// the hookup to the browser's events, and the toolbar with its rebar hook.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "band/com_object_win.h"
#include "band/rss_toolbar_ctrl_win.h"
#include "pelunband_h.h"

class CBrowserEventSink;

class CRssToolBand final : public IDeskBand, public IInputObject, public IObjectWithSite, public IPersistStream,
                           public IRssToolBand {
 public:
  CRssToolBand() noexcept;

  PELUN_COM_UNKNOWN()
  PELUN_COM_DISPATCH(IRssToolBand)

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) noexcept override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  // IDockingWindow
  STDMETHODIMP ShowDW(BOOL show) noexcept override;
  STDMETHODIMP CloseDW(DWORD) noexcept override;
  STDMETHODIMP ResizeBorderDW(LPCRECT, IUnknown*, BOOL) noexcept override { return E_NOTIMPL; }
  // IDeskBand
  STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) noexcept override;
  // IInputObject: the band never takes the keyboard focus and has no accelerators.
  STDMETHODIMP UIActivateIO(BOOL, MSG*) noexcept override { return S_OK; }
  STDMETHODIMP HasFocusIO() noexcept override { return S_FALSE; }
  STDMETHODIMP TranslateAcceleratorIO(MSG*) noexcept override { return S_FALSE; }
  // IObjectWithSite
  STDMETHODIMP SetSite(IUnknown* site) noexcept override;
  STDMETHODIMP GetSite(REFIID iid, void** out) noexcept override;
  // IPersistStream: the band keeps no state.
  STDMETHODIMP GetClassID(CLSID* clsid) noexcept override;
  STDMETHODIMP IsDirty() noexcept override { return S_FALSE; }
  STDMETHODIMP Load(IStream*) noexcept override { return S_OK; }
  STDMETHODIMP Save(IStream*, BOOL) noexcept override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) noexcept override { return S_OK; }

  // Events from the sink.
  void OnBeforeNavigate(IDispatch* frame);
  void OnDocumentComplete(IDispatch* frame);
  void OnQuit();

  static const QiEntry kInterfaces[10];

 private:
  ~CRssToolBand();
  bool Connect(IUnknown* site);
  void Disconnect();
  void CloseToolbar();

  CObjectRefs refs_;
  CTypeInfoDispatch dispatch_;
  com_ptr<IDispatch> browser_;  // the browser window's IWebBrowser2, reached by name
  HWND rebar_ = nullptr;
  CRssToolbarCtrl toolbar_;
  CBrowserEventSink* sink_ = nullptr;  // owned reference
  DWORD sinkCookie_ = 0;
};
