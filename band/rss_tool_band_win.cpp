#include "band/rss_tool_band_win.h"

#include <exdisp.h>
#include <ocidl.h>
#include <shlguid.h>

#include <new>

#include "band/browser_event_sink_win.h"
#include "band/feed_discovery_win.h"
#include "band/rebar_hook_win.h"

namespace {

constexpr POINTL kBandSize = {44, 24};

}  // namespace

const QiEntry CRssToolBand::kInterfaces[10] = {
    {&IID_IInputObject, &QiCast<CRssToolBand, IInputObject>},
    {&IID_IDeskBand, &QiCast<CRssToolBand, IDeskBand>},
    {&IID_IOleWindow, &QiCast<CRssToolBand, IOleWindow, IDeskBand>},
    {&DIID_DWebBrowserEvents2, &QiCast<CRssToolBand, IDispatch, IRssToolBand>},
    {&IID_IDockingWindow, &QiCast<CRssToolBand, IDockingWindow, IDeskBand>},
    {&IID_IObjectWithSite, &QiCast<CRssToolBand, IObjectWithSite>},
    {&IID_IPersist, &QiCast<CRssToolBand, IPersist, IPersistStream>},
    {&IID_IPersistStream, &QiCast<CRssToolBand, IPersistStream>},
    {&IID_IRssToolBand, &QiCast<CRssToolBand, IRssToolBand>},
    {&IID_IDispatch, &QiCast<CRssToolBand, IDispatch, IRssToolBand>},
};

CRssToolBand::CRssToolBand() noexcept : dispatch_(IID_IRssToolBand) {}

CRssToolBand::~CRssToolBand() {
  CloseToolbar();
  Disconnect();
}

STDMETHODIMP CRssToolBand::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = toolbar_.hwnd();
  return S_OK;
}

STDMETHODIMP CRssToolBand::ShowDW(BOOL show) noexcept {
  if (toolbar_.hwnd()) ::ShowWindow(toolbar_.hwnd(), show ? SW_SHOW : SW_HIDE);
  return S_OK;
}

// Hiding the toolbar closes the band: the rebar gets its own procedure back here, since the
// band may be shown again later with a new toolbar (or the module unloaded).
STDMETHODIMP CRssToolBand::CloseDW(DWORD) noexcept {
  CloseToolbar();
  return S_OK;
}

STDMETHODIMP CRssToolBand::GetBandInfo(DWORD bandId, DWORD, DESKBANDINFO* info) noexcept {
  toolbar_.SetBandId(bandId);
  if (!info) return S_OK;
  if (info->dwMask & DBIM_MINSIZE) info->ptMinSize = kBandSize;
  if (info->dwMask & DBIM_MAXSIZE) info->ptMaxSize.y = kBandSize.y;
  if (info->dwMask & DBIM_INTEGRAL) info->ptIntegral.y = 0;
  if (info->dwMask & DBIM_ACTUAL) info->ptActual = kBandSize;
  if (info->dwMask & DBIM_MODEFLAGS) info->dwModeFlags = DBIMF_NORMAL;
  return S_OK;
}

STDMETHODIMP CRssToolBand::SetSite(IUnknown* site) noexcept {
  try {
    CloseToolbar();
    Disconnect();
    if (site && Connect(site)) {
      if (!toolbar_.Create(rebar_, browser_.Copy()) || !HookRebar(rebar_, toolbar_.hwnd())) toolbar_.Destroy();
    }
  } catch (...) {
  }
  return S_OK;
}

bool CRssToolBand::Connect(IUnknown* site) {
  com_ptr<IOleWindow> window;
  HWND rebar = nullptr;
  if (FAILED(site->QueryInterface(IID_IOleWindow, window.put_void())) || FAILED(window->GetWindow(&rebar)) ||
      !::IsWindow(rebar))
    return false;
  com_ptr<IServiceProvider> services;
  com_ptr<IDispatch> browser;
  if (FAILED(site->QueryInterface(IID_IServiceProvider, services.put_void())) ||
      FAILED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.put_void())) || !browser)
    return false;
  com_ptr<IConnectionPointContainer> container;
  com_ptr<IConnectionPoint> point;
  if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, container.put_void())) ||
      FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())))
    return false;
  auto* sink = new (std::nothrow) CBrowserEventSink(this);
  if (!sink) return false;
  if (FAILED(point->Advise(static_cast<IDispatch*>(sink), &sinkCookie_))) {
    sink->Release();
    return false;
  }
  sink_ = sink;
  rebar_ = rebar;
  browser_ = std::move(browser);
  return true;
}

void CRssToolBand::Disconnect() {
  if (sink_) {
    com_ptr<IConnectionPointContainer> container;
    com_ptr<IConnectionPoint> point;
    if (browser_ && SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, container.put_void())) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())))
      point->Unadvise(sinkCookie_);
    sink_->Detach();
    sink_->Release();
    sink_ = nullptr;
    sinkCookie_ = 0;
  }
  browser_.reset();
  rebar_ = nullptr;
}

void CRssToolBand::CloseToolbar() {
  if (rebar_) UnhookRebar(rebar_);
  toolbar_.Destroy();
}

STDMETHODIMP CRssToolBand::GetSite(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!browser_) return E_FAIL;
  return browser_->QueryInterface(iid, out);
}

STDMETHODIMP CRssToolBand::GetClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_RssToolBand;
  return S_OK;
}

void CRssToolBand::OnBeforeNavigate(IDispatch* frame) {
  if (toolbar_.hwnd()) ForgetFeedsOnNavigation(frame, toolbar_);
}

void CRssToolBand::OnDocumentComplete(IDispatch* frame) {
  if (toolbar_.hwnd()) DiscoverFeeds(frame, toolbar_);
}

void CRssToolBand::OnQuit() { CloseToolbar(); }
