#include "band/pelun_util_win.h"

#include "band/feed_links.h"
#include "band/main_program_link_win.h"
#include "shared/names.h"
#include "util/wide_win.h"

namespace {

Text FromBstr(BSTR text) { return text ? FromWide(text, ::SysStringLen(text)) : Text(); }

// The browser's menu has just closed: its messages are dispatched before a message box or a
// request holds this thread.
void DispatchWaitingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // left for the browser's own loop
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

const QiEntry CPelunUtil::kInterfaces[2] = {
    {&IID_IPelunUtil, &QiCast<CPelunUtil, IPelunUtil>},
    {&IID_IDispatch, &QiCast<CPelunUtil, IDispatch, IPelunUtil>},
};

STDMETHODIMP CPelunUtil::AddRSS(BSTR location, BSTR href) noexcept {
  try {
    DispatchWaitingMessages();
    const Text reference = FromBstr(href);
    if (reference.empty()) {
      ::MessageBoxW(nullptr, L"RSSリンクが見つかりません。", W(kApplicationTitle), MB_OK | MB_ICONWARNING);
      return S_OK;
    }
    HandOverFeed(ResolveFeedUrl(FromBstr(location), reference), nullptr, HandOverFailure::kMessage);
  } catch (...) {
  }
  return S_OK;
}
