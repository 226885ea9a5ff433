// Downloads over WinINet: the scheduled transfer on a pooled worker thread, the blocking
// fetch of an interactive action, and the clean-up of the files they leave.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "check/fetch_request.h"
#include "util/text.h"

// Shared by the interface thread, which may cancel, and the worker, which transfers. Plain
// atomics rather than kernel events: every check makes one, and under Wine each event call is
// a round trip to the server process.
class TransferControl {
 public:
  static std::shared_ptr<TransferControl> Create();

  // Idempotent. A worker blocked in sending the request is released at once.
  void Cancel() noexcept;
  bool IsCancelled() const noexcept;
  // True once the worker has ended (or no worker was ever started), waiting at most this long.
  bool WaitFinished(DWORD milliseconds) const noexcept;

  // Worker side: `request` is handed over for the duration of the send so that Cancel can
  // close it; false when a cancel came first, and then nothing may be sent. EndSend gives it
  // back, or null when Cancel closed it meanwhile.
  [[nodiscard]] bool BeginSend(HINTERNET request) noexcept;
  [[nodiscard]] HINTERNET EndSend() noexcept;
  void MarkStarted() noexcept;
  void MarkFinished() noexcept;

 private:
  TransferControl() = default;

  std::atomic<bool> cancelled_{false};
  std::atomic<HINTERNET> lentRequest_{nullptr};
  // Set until a worker is started, so that waiting without one never returns false.
  std::atomic<bool> finished_{true};
};

// Starts a worker that transfers `request` (following redirects) and posts `replyMessage` to
// `replyWindow` with wParam = the item and lParam = a heap FetchResult* (0: no result), which the
// receiver deletes. A cancelled transfer posts nothing. Null when no worker can take it.
std::shared_ptr<TransferControl> StartScheduledTransfer(FetchRequest request, HWND replyWindow,
                                                        UINT replyMessage);

// Asked for a user name and password when a site answers 401; false when the user declines.
using CredentialPrompt = std::function<bool(Text& user, Text& password)>;
inline constexpr int kMaxCredentialPrompts = 3;

// One transfer with redirects, however it is carried out; nullopt when no answer came.
using TransferRunner = std::function<std::optional<FetchResult>(const FetchRequest&)>;

// Fetches through `transfer`. Only a 200 answer is a result; another status sets `errorText` to
// "HTTP <status>". With `askCredentials`, a 401 asks up to kMaxCredentialPrompts times and
// tries again with what was entered; a refusal or the last failed try sets "認証失敗".
std::optional<FetchResult> FetchThrough(const TransferRunner& transfer, const FetchRequest& request,
                                        Text* errorText, const CredentialPrompt& askCredentials = {});

// The same, blocking on the calling thread.
std::optional<FetchResult> FetchNow(const FetchRequest& request, Text* errorText,
                                    const CredentialPrompt& askCredentials = {});

// Deletes what transfers and pages leave in the temporary folder ("*.tmp", "*.html.list" and,
// unless `leaveHtml`, "*.html"), then the folder itself when nothing else is in it.
void DeleteWorkingFiles(const Text& tempDirectory, bool leaveHtml);
