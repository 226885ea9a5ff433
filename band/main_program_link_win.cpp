#include "band/main_program_link_win.h"

#include <wininet.h>

#include <string>

#include "app/directories.h"
#include "band/band_module_win.h"
#include "band/feed_links.h"
#include "shared/names.h"
#include "store/profile_file.h"
#include "store/settings.h"
#include "util/code_page.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

namespace {

// The local server answers at once; a server that hangs must not hang the browser long.
constexpr DWORD kLocalRequestTimeoutMs = 10000;
// The folder list of thousands of folders stays far below this.
constexpr size_t kMaxLocalAnswerBytes = 8 * 1024 * 1024;
constexpr char16_t kClipboardNotice[] = u" をクリップボードにコピーしました。";
constexpr char16_t kHandOverFailed[] = u"RSSリンクを処理できませんでした。";

uint16_t LocalServerPort() {
  const AppDirectories directories = QueryAppDirectoriesFor(DirectoryOfFile(BandModulePath()));
  return ReadStartupPort(CIniFile(directories.data + kSettingsFileName));
}

void SetTimeouts(HINTERNET handle) {
  DWORD timeout = kLocalRequestTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    ::InternetSetOptionW(handle, option, &timeout, sizeof timeout);
}

// The body of a 200 answer of the local server.
std::optional<std::string> GetLocal(TextView path) {
  unique_hinternet session(::InternetOpenW(L"pelun", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return std::nullopt;
  SetTimeouts(session.get());
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
  unique_hinternet request(::InternetOpenUrlW(session.get(), W(MakeLocalUrl(path)), nullptr, 0, flags, 0));
  if (!request) return std::nullopt;
  DWORD status = 0, size = sizeof status;
  if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
      status != HTTP_STATUS_OK)
    return std::nullopt;
  std::string body;
  char buffer[16384];
  DWORD read = 0;
  while (::InternetReadFile(request.get(), buffer, sizeof buffer, &read) && read > 0) {
    if (body.size() + read > kMaxLocalAnswerBytes) return std::nullopt;
    body.append(buffer, read);
  }
  return body;
}

bool ControlHeld() { return ::GetKeyState(VK_CONTROL) < 0; }

// Plain text in the system code page, as the clipboard's oldest format; the system offers it
// as Unicode text too.
bool CopyToClipboard(const Text& text) {
  std::optional<std::string> bytes = ToSystemCodePage(text);
  if (!bytes) return false;
  unique_hglobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes->size() + 1));
  if (!memory) return false;
  void* locked = ::GlobalLock(memory.get());
  if (!locked) return false;
  memcpy(locked, bytes->c_str(), bytes->size() + 1);
  ::GlobalUnlock(memory.get());
  // A clipboard opened without a window cannot take data once emptied: a window of our own
  // owns it for the moment.
  unique_hwnd owner(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, BandModule(), nullptr));
  if (!owner || !::OpenClipboard(owner.get())) return false;
  bool copied = ::EmptyClipboard() && ::SetClipboardData(CF_TEXT, memory.get());
  if (copied) memory.release();  // the clipboard owns it now
  ::CloseClipboard();
  return copied;
}

}  // namespace

HWND FindMainProgram() { return ::FindWindowW(W(kMainWindowClass), W(kMainWindowTitle)); }

Text MakeLocalUrl(TextView path) {
  return u"http://127.0.0.1:" + UnsignedDecimalText(LocalServerPort()) + Text(path);
}

bool SendServerCommand(TextView path) { return FindMainProgram() && GetLocal(path).has_value(); }

std::optional<XmlElement> LoadFolderList() {
  if (!FindMainProgram()) return std::nullopt;
  std::optional<std::string> body = GetLocal(u"/folderlist.xml");
  if (!body) return std::nullopt;
  return LoadXmlDocument(*body);
}

void HandOverFeed(const Text& feedUrl, HWND owner, HandOverFailure failure) {
  if (!ControlHeld() && FindMainProgram()) {
    (void)SendServerCommand(AddFeedCommand(feedUrl));
    return;
  }
  if (CopyToClipboard(feedUrl)) {
    ::MessageBoxW(owner, W(feedUrl + kClipboardNotice), W(kApplicationTitle), MB_OK | MB_ICONINFORMATION);
  } else if (failure == HandOverFailure::kMessage) {
    ::MessageBoxW(owner, W(kHandOverFailed), W(kApplicationTitle), MB_OK | MB_ICONWARNING);
  }
}
