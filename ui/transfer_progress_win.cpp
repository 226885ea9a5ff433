#include "ui/transfer_progress_win.h"

#include <memory>

#include "app/private_messages.h"
#include "app/resource.h"
#include "check/http_transfer_win.h"
#include "util/nesting_guard_win.h"
#include "util/wide_win.h"

namespace {

// A quick answer never flashes a window; a slow one shows what the program waits for.
constexpr UINT kShowDelayMilliseconds = 500;
constexpr UINT_PTR kShowTimerId = 1;

struct ProgressState {
  Text url;
  std::shared_ptr<TransferControl> control;
  bool finished = false;
  TransferEnd end = TransferEnd::kAnswered;
  std::optional<FetchResult> result;
};

void Finish(ProgressState& state, TransferEnd end) {
  if (state.finished) return;
  state.finished = true;
  state.end = end;
  if (end != TransferEnd::kAnswered && state.control) state.control->Cancel();
}

INT_PTR CALLBACK ProgressProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* state = reinterpret_cast<ProgressState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (!state) return FALSE;
  const NestingGuard nesting(dialog, reinterpret_cast<const void*>(&ProgressProcedure));
  try {
    switch (message) {
      case WM_INITDIALOG:
        ::SetDlgItemTextW(dialog, IDC_PROGRESS_URL, W(state->url));
        ::SetTimer(dialog, kShowTimerId, kShowDelayMilliseconds, nullptr);
        return TRUE;
      case WM_TIMER:
        ::KillTimer(dialog, kShowTimerId);
        ::ShowWindow(dialog, SW_SHOW);
        ::SetForegroundWindow(dialog);
        return TRUE;
      case kMsgTransferDone: {
        // Ours to free, also when the user cancelled just before it came.
        std::unique_ptr<FetchResult> payload(reinterpret_cast<FetchResult*>(lParam));
        if (!state->finished && payload) state->result = std::move(*payload);
        Finish(*state, TransferEnd::kAnswered);
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) Finish(*state, TransferEnd::kCancelled);
        return TRUE;
      case WM_DESTROY:
        // Only the end of the program takes the window away from under the loop.
        Finish(*state, TransferEnd::kExiting);
        return FALSE;
    }
  } catch (...) {
    Finish(*state, TransferEnd::kCancelled);
  }
  return FALSE;
}

// Replies that were posted before the cancel reached the worker are freed here; once the window
// is gone, a later post fails and the worker frees its payload itself.
void DropPendingReplies(HWND dialog) {
  MSG message;
  while (::PeekMessageW(&message, dialog, kMsgTransferDone, kMsgTransferDone, PM_REMOVE))
    delete reinterpret_cast<FetchResult*>(message.lParam);
}

}  // namespace

// Every window of the thread keeps being served (the local server's sockets notify the view), so
// the loop dispatches everything, as the modal loop of a dialog box does. A WM_QUIT is handed on
// to the program's own loop.
WaitedTransfer RunTransferWithProgress(HWND owner, HINSTANCE instance, const FetchRequest& request) {
  WaitedTransfer outcome;
  ProgressState state;
  state.url = request.url;
  // Disabled before the window exists, so that no forwarded request slips in between.
  const bool ownerWasEnabled = owner && !::EnableWindow(owner, FALSE);
  HWND dialog = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TRANSFER_PROGRESS), owner, &ProgressProcedure,
                                     reinterpret_cast<LPARAM>(&state));
  if (dialog) state.control = StartScheduledTransfer(request, dialog, kMsgTransferDone);
  bool quit = false;
  WPARAM quitCode = 0;
  if (!dialog || !state.control) {
    Finish(state, TransferEnd::kAnswered);
  }
  while (!state.finished) {
    MSG message;
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = message.wParam;
      Finish(state, TransferEnd::kExiting);
      break;
    }
    if (got == -1) {
      Finish(state, TransferEnd::kCancelled);
      break;
    }
    if (::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // The owner first, so that activation returns to it rather than to another program.
  if (ownerWasEnabled && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (dialog && ::IsWindow(dialog)) {
    DropPendingReplies(dialog);
    ::DestroyWindow(dialog);
  }
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  outcome.end = state.end;
  outcome.result = std::move(state.result);
  return outcome;
}
