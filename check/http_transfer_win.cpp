#include "check/http_transfer_win.h"

#include <wininet.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <span>
#include <vector>

#include "check/fetch_rules.h"
#include "util/file_io_win.h"
#include "util/unique_handle_win.h"
#include "util/url.h"
#include "util/wide_win.h"
#include "util/xml_bytes.h"

namespace {

constexpr wchar_t kAgentName[] = L"pelun";
constexpr DWORD kReadBlockBytes = 10240;
constexpr std::size_t kLastModifiedChars = 255;
constexpr std::size_t kLocationChars = 1023;

}  // namespace

// ---- TransferControl ----------------------------------------------------------------------

std::shared_ptr<TransferControl> TransferControl::Create() {
  return std::shared_ptr<TransferControl>(new TransferControl());
}

// The request handle is owned by whoever takes it out of lentRequest_: the worker after its
// send, or the canceller during it. Closing it is what makes a blocking send return at once;
// the exchange makes sure that exactly one side closes it and the worker never touches it after.
// Both sides write their flag before they look at the other's (sequentially consistent), so a
// cancel that races with the start of a send is seen by one of them.
// Wine 8 keeps the connection of a closed handle open until the send returns by itself, so
// there the worker lingers until the server answers or gives up; the caller is released at
// once on both, and the late result is thrown away.
void TransferControl::Cancel() noexcept {
  if (cancelled_.exchange(true)) return;
  if (HINTERNET request = lentRequest_.exchange(nullptr)) ::InternetCloseHandle(request);
}

bool TransferControl::IsCancelled() const noexcept { return cancelled_.load(); }

// Only a caller that cancels waits, rarely and briefly: a short poll costs less than an event
// that every check would make and signal.
bool TransferControl::WaitFinished(DWORD milliseconds) const noexcept {
  constexpr DWORD kPollMilliseconds = 5;
  const DWORD start = ::GetTickCount();
  while (!finished_.load()) {
    if (::GetTickCount() - start >= milliseconds) return false;
    ::Sleep(kPollMilliseconds);
  }
  return true;
}

bool TransferControl::BeginSend(HINTERNET request) noexcept {
  lentRequest_.store(request);
  return !cancelled_.load();
}

HINTERNET TransferControl::EndSend() noexcept { return lentRequest_.exchange(nullptr); }

void TransferControl::MarkStarted() noexcept { finished_.store(false); }

void TransferControl::MarkFinished() noexcept { finished_.store(true); }

namespace {

// ---- One request ----------------------------------------------------------------------------

struct HttpTarget {
  Text host;
  INTERNET_PORT port = 0;
  Text pathAndQuery;
  bool secure = false;
};

std::optional<HttpTarget> CrackHttpUrl(const Text& url) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  // Nonzero lengths with null buffers ask for pointers into `url`.
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!::InternetCrackUrlW(W(url), 0, 0, &parts)) return std::nullopt;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
  if (!parts.lpszHostName || parts.dwHostNameLength == 0) return std::nullopt;
  HttpTarget target;
  target.host = FromWide(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  if (parts.lpszUrlPath) target.pathAndQuery = FromWide(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.pathAndQuery += FromWide(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  // The fragment is for the reader, never sent.
  if (const auto hash = target.pathAndQuery.find(u'#'); hash != Text::npos) target.pathAndQuery.resize(hash);
  if (target.pathAndQuery.empty()) target.pathAndQuery = u"/";
  return target;
}

const wchar_t* OrNull(const Text& text) { return text.empty() ? nullptr : W(text); }

unique_hinternet OpenSession(const ProxyChoice& proxy, DWORD timeoutMilliseconds) {
  DWORD access = INTERNET_OPEN_TYPE_PRECONFIG;
  if (proxy.access == ProxyAccess::kDirect) access = INTERNET_OPEN_TYPE_DIRECT;
  if (proxy.access == ProxyAccess::kNamed) access = INTERNET_OPEN_TYPE_PROXY;
  unique_hinternet session(::InternetOpenW(kAgentName, access, OrNull(proxy.server), nullptr, 0));
  if (session && timeoutMilliseconds != 0) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
      ::InternetSetOptionW(session.get(), option, &timeoutMilliseconds, sizeof timeoutMilliseconds);
  }
  return session;
}

// Sessions are shared by every transfer with the same proxy and timeouts: the library then
// keeps connections alive between checks of the same server and reads the proxy configuration
// once, instead of once per check. Handles of a session may be used from any thread.
class SessionCache {
 public:
  HINTERNET Get(const ProxyChoice& proxy, DWORD timeoutMilliseconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& entry : entries_)
      if (entry.access == proxy.access && entry.server == proxy.server && entry.timeout == timeoutMilliseconds)
        return entry.session.get();
    // A settings change makes a new kind; the few kinds a run sees are kept.
    unique_hinternet session = OpenSession(proxy, timeoutMilliseconds);
    if (!session) return nullptr;
    entries_.push_back({proxy.access, proxy.server, timeoutMilliseconds, std::move(session)});
    return entries_.back().session.get();
  }

 private:
  struct Entry {
    ProxyAccess access;
    Text server;
    DWORD timeout;
    unique_hinternet session;
  };
  std::mutex mutex_;
  std::deque<Entry> entries_;  // stable addresses while handles are in use
};

// Never destroyed: a transfer that outlives its check may still be inside the library when the
// program exits, and its session must not be closed under it.
SessionCache& Sessions() {
  static SessionCache* cache = new SessionCache();
  return *cache;
}

void SetStringOption(HINTERNET handle, DWORD option, const Text& value) {
  ::InternetSetOptionW(handle, option, const_cast<wchar_t*>(W(value)), static_cast<DWORD>(value.size() + 1));
}

void AddHeader(HINTERNET request, const Text& line) {
  const Text withEnd = line + u"\r\n";
  ::HttpAddRequestHeadersW(request, W(withEnd), static_cast<DWORD>(withEnd.size()),
                           HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
}

bool HasProxyCredentials(const FetchRequest& fetch, const ProxyChoice& proxy) {
  return proxy.access == ProxyAccess::kNamed && !fetch.proxy.user.empty();
}

void PrepareRequest(HINTERNET request, const FetchRequest& fetch, const ProxyChoice& proxy) {
  for (const Text& line : fetch.headers) AddHeader(request, line);
  // Only when the library will decode the body may the server be told it can compress it.
  BOOL decode = TRUE;
  if (::InternetSetOptionW(request, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode))
    AddHeader(request, u"Accept-Encoding: gzip,deflate");
  if (HasProxyCredentials(fetch, proxy)) {
    SetStringOption(request, INTERNET_OPTION_PROXY_USERNAME, fetch.proxy.user);
    if (!fetch.proxyPassword.empty())
      SetStringOption(request, INTERNET_OPTION_PROXY_PASSWORD, fetch.proxyPassword);
  }
}

// Sends with the request handle lent to `control`, so that Cancel can break off the wait for
// an answer. False when the send failed or was cancelled; then `request` may be gone.
bool Send(unique_hinternet& request, TransferControl* control) {
  if (!control) return ::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0) != FALSE;
  if (control->IsCancelled()) return false;
  HINTERNET lent = request.release();
  const BOOL sent = control->BeginSend(lent) && ::HttpSendRequestW(lent, nullptr, 0, nullptr, 0);
  request.reset(control->EndSend());
  return sent && request && !control->IsCancelled();
}

std::optional<Text> QueryText(HINTERNET request, DWORD query, std::size_t maxChars) {
  std::vector<wchar_t> buffer(maxChars + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!::HttpQueryInfoW(request, query, buffer.data(), &bytes, nullptr)) return std::nullopt;
  return FromWide(buffer.data());
}

// Fills `block` as far as the body goes, so that the first block holds the whole document
// start even when the network hands it over in small pieces. Nullopt on a read failure.
std::optional<DWORD> ReadBlock(HINTERNET request, std::span<char> block) {
  DWORD filled = 0;
  while (filled < block.size()) {
    DWORD got = 0;
    if (!::InternetReadFile(request, block.data() + filled, static_cast<DWORD>(block.size() - filled), &got))
      return std::nullopt;
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

// The whole body; nullopt when it is too large, fails or is cancelled.
std::optional<std::string> ReadBody(HINTERNET request, TransferControl* control) {
  std::string body;
  std::vector<char> block(kReadBlockBytes);
  std::size_t total = 0;
  bool complete = false;
  for (bool first = true;; first = false) {
    const auto got = ReadBlock(request, block);
    if (!got) break;
    if (*got == 0) {
      complete = true;
      break;
    }
    total += *got;
    if (total > kMaxBodyBytes) break;
    // Blanked so that the XML parser never fetches or expands a DTD.
    if (first) BlankDoctypes(std::span<char>(block.data(), *got));
    body.append(block.data(), *got);
    if (control && control->IsCancelled()) break;
  }
  if (!complete) return std::nullopt;
  return body;
}

std::optional<FetchResult> TransferOnce(const FetchRequest& fetch, const Text& rawUrl, TransferControl* control) {
  const Text url = NormalizeFeedUrl(rawUrl);
  if (auto path = LocalFilePath(url)) {
    // A file that cannot be read gives no document, as a body that is no XML does.
    FetchResult result;
    result.status = HTTP_STATUS_OK;
    result.body = ReadWholeFile(*path).value_or(std::string());
    return result;
  }
  const auto target = CrackHttpUrl(url);
  if (!target) return std::nullopt;
  const ProxyChoice proxy = ChooseProxy(fetch.proxy);
  HINTERNET session = Sessions().Get(proxy, fetch.timeoutMilliseconds);
  if (!session) return std::nullopt;
  unique_hinternet connection(::InternetConnectW(session, W(target->host), target->port,
                                                 OrNull(fetch.user), OrNull(fetch.password),
                                                 INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::nullopt;
  // Cookies stay on although Wine's cookie store costs about 1 ms per request: the browser
  // session they carry may be what lets a private feed in.
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (target->secure) flags |= INTERNET_FLAG_SECURE;
  if (fetch.reload) flags |= INTERNET_FLAG_PRAGMA_NOCACHE;
  // Without credentials there is nobody to answer a server that asks for them; but the flag
  // also stops the answer to a proxy that asks, for which credentials may be set.
  if (fetch.user.empty() && fetch.password.empty() && !HasProxyCredentials(fetch, proxy))
    flags |= INTERNET_FLAG_NO_AUTH;
  unique_hinternet request(::HttpOpenRequestW(connection.get(), L"GET", W(target->pathAndQuery), nullptr,
                                              nullptr, nullptr, flags, 0));
  if (!request) return std::nullopt;
  PrepareRequest(request.get(), fetch, proxy);
  if (!Send(request, control)) return std::nullopt;

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return std::nullopt;
  FetchResult result;
  result.status = status;
  result.lastModified = QueryText(request.get(), HTTP_QUERY_LAST_MODIFIED, kLastModifiedChars).value_or(Text());
  result.etag = QueryText(request.get(), HTTP_QUERY_ETAG, kLastModifiedChars).value_or(Text());

  if (IsRedirectStatus(status)) {
    const auto location = QueryText(request.get(), HTTP_QUERY_LOCATION, kLocationChars);
    if (!location) return std::nullopt;
    result.location = ResolveUrl(url, *location);
    if (result.location.empty() || result.location.size() > kLocationChars) return std::nullopt;
    return result;
  }
  if (status != HTTP_STATUS_OK) return result;

  auto body = ReadBody(request.get(), control);
  if (!body) return std::nullopt;
  result.body = std::move(*body);
  return result;
}

std::optional<FetchResult> Transfer(const FetchRequest& fetch, TransferControl* control) {
  return TransferWithRedirects(fetch.url, [&](const Text& url) { return TransferOnce(fetch, url, control); });
}

// ---- The scheduled worker -------------------------------------------------------------------

struct WorkerContext {
  FetchRequest request;
  std::shared_ptr<TransferControl> control;
  HWND replyWindow = nullptr;
  UINT replyMessage = 0;
};

// A cancel that comes after the check below still lets the reply through; the receiver
// recognises replies for transfers it no longer waits for and deletes them.
void RunScheduledTransfer(WorkerContext& context) {
  std::optional<FetchResult> result;
  try {
    result = Transfer(context.request, context.control.get());
  } catch (...) {
    result.reset();
  }
  if (context.control->IsCancelled()) return;
  std::unique_ptr<FetchResult> payload = result ? std::make_unique<FetchResult>(std::move(*result)) : nullptr;
  if (::PostMessageW(context.replyWindow, context.replyMessage, static_cast<WPARAM>(context.request.item),
                     reinterpret_cast<LPARAM>(payload.get())))
    payload.release();
}

DWORD WINAPI ScheduledTransferThread(LPVOID parameter) noexcept {
  std::unique_ptr<WorkerContext> context(static_cast<WorkerContext*>(parameter));
  try {
    RunScheduledTransfer(*context);
  } catch (...) {
  }
  context->control->MarkFinished();
  return 0;
}

class WaitCursor {
 public:
  WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

bool HasSuffixIgnoreCase(TextView name, TextView suffix) {
  return name.size() > suffix.size() && EqualsIgnoreCaseAscii(name.substr(name.size() - suffix.size()), suffix);
}

}  // namespace

std::shared_ptr<TransferControl> StartScheduledTransfer(FetchRequest request, HWND replyWindow,
                                                        UINT replyMessage) {
  auto control = TransferControl::Create();
  if (!control) return nullptr;
  control->MarkStarted();
  auto context = std::make_unique<WorkerContext>(WorkerContext{std::move(request), control, replyWindow, replyMessage});
  // Pooled threads: creating a thread per transfer costs more than a loopback answer.
  if (!::QueueUserWorkItem(&ScheduledTransferThread, context.get(), WT_EXECUTELONGFUNCTION)) return nullptr;
  context.release();  // the worker owns it now
  return control;
}

std::optional<FetchResult> FetchThrough(const TransferRunner& transfer, const FetchRequest& request,
                                        Text* errorText, const CredentialPrompt& askCredentials) {
  FetchRequest attempt = request;
  for (int prompts = 0;; ++prompts) {
    auto result = transfer(attempt);
    if (!result) return std::nullopt;
    if (result->status == HTTP_STATUS_OK) return result;
    if (result->status != HTTP_STATUS_DENIED || !askCredentials) {
      if (errorText) *errorText = u"HTTP " + UnsignedDecimalText(result->status);
      return std::nullopt;
    }
    if (prompts == kMaxCredentialPrompts || !askCredentials(attempt.user, attempt.password)) {
      if (errorText) *errorText = u"認証失敗";
      return std::nullopt;
    }
  }
}

std::optional<FetchResult> FetchNow(const FetchRequest& request, Text* errorText,
                                    const CredentialPrompt& askCredentials) {
  WaitCursor waitCursor;
  return FetchThrough([](const FetchRequest& attempt) { return Transfer(attempt, nullptr); }, request,
                      errorText, askCredentials);
}

// Names are matched here rather than by the search pattern: a pattern such as "*.tmp" also
// matches the short 8.3 names of longer extensions.
void DeleteWorkingFiles(const Text& tempDirectory, bool leaveHtml) {
  if (tempDirectory.empty()) return;
  Text directory = tempDirectory;
  if (directory.back() != u'\\' && directory.back() != u'/') directory += u'\\';
  WIN32_FIND_DATAW found{};
  {
    unique_hfind search(::FindFirstFileW(W(directory + u"*"), &found));
    if (search) {
      do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const Text name = FromWide(found.cFileName);
        if (HasSuffixIgnoreCase(name, u".tmp") || HasSuffixIgnoreCase(name, u".html.list") ||
            (!leaveHtml && HasSuffixIgnoreCase(name, u".html")))
          ::DeleteFileW(W(directory + name));
      } while (::FindNextFileW(search.get(), &found));
    }
  }
  // Fails, as intended, while anything else is still inside.
  ::RemoveDirectoryW(W(directory));
}
