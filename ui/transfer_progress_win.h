// A download the user waits for (registering a site, the first start's list) without freezing
// the program: the transfer runs on a worker while a small modal window with 中止 keeps every
// window of the thread served, the local server included.
#pragma once

#include <windows.h>

#include <optional>

#include "check/fetch_request.h"
#include "util/text.h"

enum class TransferEnd {
  kAnswered,   // the transfer ended by itself; `result` holds its answer, if any
  kCancelled,  // the user pressed 中止
  kExiting,    // the program is ending: the caller must stop at once and touch nothing
};

struct WaitedTransfer {
  TransferEnd end = TransferEnd::kAnswered;
  std::optional<FetchResult> result;
};

// Transfers `request` (following redirects) while the progress window, owned by `owner`, runs
// its own message loop. The owner is disabled meanwhile, so the main window counts it as an
// open dialog.
WaitedTransfer RunTransferWithProgress(HWND owner, HINSTANCE instance, const FetchRequest& request);
