#include "app/main_frame_win.h"

#include <memory>

#include "app/private_messages.h"
#include "app/resource.h"
#include "shared/names.h"
#include "shared/shared_text_block_win.h"
#include "util/code_page.h"
#include "util/wide_win.h"

bool CMainFrame::LoadFrame(HINSTANCE instance) {
  requestMessage_ = ::RegisterWindowMessageW(W(kRequestMessageName));
  HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  if (!RegisterWindowClass(instance, W(kMainWindowClass), icon,
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
    return false;
  wchar_t title[64] = {};
  if (!::LoadStringW(instance, IDS_MAINFRAME_TITLE, title, 64)) return false;
  return CreateWindowOfClass(W(kMainWindowClass), title, WS_OVERLAPPEDWINDOW, 0,
                             RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT},
                             nullptr, nullptr, instance);
}

LRESULT CMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == requestMessage_ && requestMessage_ != 0) return OnRequest(wParam, lParam);
  switch (message) {
    case kMsgRegisterUrl: return OnRegisterUrl(wParam);
    case WM_DESTROY: OnDestroy(); return 0;
    default: return DefaultHandling(message, wParam, lParam);
  }
}

LRESULT CMainFrame::OnRequest(WPARAM command, LPARAM argument) {
  if (command != static_cast<WPARAM>(RequestCommand::kForwardCommandLine)) return 0;
  if (argument == 0) return 0;
  auto ansi = TakeSharedTextBlock(reinterpret_cast<HANDLE>(argument));
  if (!ansi) return 0;
  auto text = FromSystemCodePage(*ansi);
  if (!text) return 0;
  auto heapText = std::make_unique<char16_t[]>(text->size() + 1);
  std::copy(text->begin(), text->end(), heapText.get());
  // The receiver of the private message owns the buffer from here on.
  return ::SendMessageW(hwnd(), kMsgRegisterUrl, reinterpret_cast<WPARAM>(heapText.release()), 0);
}

LRESULT CMainFrame::OnRegisterUrl(WPARAM heapText) {
  std::unique_ptr<char16_t[]> text(reinterpret_cast<char16_t*>(heapText));
  if (!text) return 0;
  const TextView forwarded(text.get());
  if (forwarded == u"/exit") {
    ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    return 1;
  }
  return 0;
}

void CMainFrame::OnDestroy() { ::PostQuitMessage(0); }
