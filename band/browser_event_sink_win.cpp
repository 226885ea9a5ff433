#include "band/browser_event_sink_win.h"

#include <exdisp.h>
#include <exdispid.h>

#include "band/rss_tool_band_win.h"

namespace {

// The frame object is the first argument of both navigation events; arguments come last first.
IDispatch* FrameArgument(const DISPPARAMS* params, UINT expectedCount) {
  if (!params || params->cArgs < expectedCount) return nullptr;
  const VARIANT& frame = params->rgvarg[params->cArgs - 1];
  if (frame.vt == VT_DISPATCH) return frame.pdispVal;
  if (frame.vt == (VT_DISPATCH | VT_BYREF) && frame.ppdispVal) return *frame.ppdispVal;
  return nullptr;
}

}  // namespace

const QiEntry CBrowserEventSink::kInterfaces[2] = {
    {&IID_IDispatch, &QiCast<CBrowserEventSink, IDispatch>},
    {&DIID_DWebBrowserEvents2, &QiCast<CBrowserEventSink, IDispatch>},
};

STDMETHODIMP CBrowserEventSink::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP CBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                       UINT*) noexcept {
  if (!band_) return S_OK;
  // Keeps the sink alive should the band let it go while handling the event.
  AddRef();
  try {
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
        if (IDispatch* frame = FrameArgument(params, 7)) band_->OnBeforeNavigate(frame);
        break;
      case DISPID_DOCUMENTCOMPLETE:
        if (IDispatch* frame = FrameArgument(params, 2)) band_->OnDocumentComplete(frame);
        break;
      case DISPID_ONQUIT:
        band_->OnQuit();
        break;
      default:
        break;
    }
  } catch (...) {
  }
  Release();
  return S_OK;
}
