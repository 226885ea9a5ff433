#include "check/document_download_win.h"

#include <windows.h>
#include <wininet.h>

#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr wchar_t kAgentName[] = L"pelun";
constexpr wchar_t kUserAgentHeader[] = L"User-Agent: pelun/1.06\r\n";
constexpr DWORD kReadBlockBytes = 10240;

DWORD StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  return ::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr)
             ? status
             : 0;
}

void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT})
    ::InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
}

}  // namespace

std::optional<std::string> DownloadDocument(const Text& url, unsigned long timeoutMilliseconds) {
  if (!StartsWith(url, u"http://") && !StartsWith(url, u"https://")) return std::nullopt;
  unique_hinternet session(::InternetOpenW(kAgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return std::nullopt;
  SetTimeouts(session.get(), timeoutMilliseconds);
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES;
  unique_hinternet request(::InternetOpenUrlW(session.get(), W(url), kUserAgentHeader,
                                              static_cast<DWORD>(-1), flags, 0));
  if (!request || StatusCode(request.get()) != HTTP_STATUS_OK) return std::nullopt;

  std::string body;
  char block[kReadBlockBytes];
  for (;;) {
    DWORD got = 0;
    if (!::InternetReadFile(request.get(), block, sizeof block, &got)) return std::nullopt;
    if (got == 0) return body;
    if (body.size() + got > kMaxDownloadBytes) return std::nullopt;
    body.append(block, got);
  }
}
