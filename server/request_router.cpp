#include "server/request_router.h"

#include "server/pages.h"
#include "util/code_page.h"
#include "util/text_escape.h"

namespace {

constexpr char kNoCacheHeaders[] = "Pragma: no-cache\r\nCache-Control: no-cache\r\nExpires: 0\r\n\r\n";
constexpr char kForbidden[] = "HTTP/1.0 403\r\n\r\n";
constexpr char kMethodNotAllowed[] = "HTTP/1.0 405\r\nAllow: GET, HEAD\r\n\r\n";
constexpr char kNotFound[] = "HTTP/1.0 404\r\n\r\n";
constexpr char kClosingPage[] =
    "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
    "<html><body><script>window.close();</script></body></html>";

Text DecodeToken(std::string_view bytes) {
  if (auto text = FromSystemCodePage(bytes)) return std::move(*text);
  return AsciiToText(bytes);
}

std::string Generated(const char* contentType, const Text& body) {
  return std::string("HTTP/1.0 200\r\nContent-Type: ") + contentType + "\r\n" + kNoCacheHeaders +
         ToUtf8(body);
}

std::string ServeFile(const IServerHost& host, const Text& path, const char* contentType) {
  const auto bytes = host.ReadFile(path);
  if (!bytes) return kNotFound;
  return std::string("HTTP/1.0 200\r\nContent-Type: ") + contentType + "\r\n\r\n" + *bytes;
}

std::string ServeIconFile(const IServerHost& host, const Text& path) {
  const auto bytes = host.ReadFile(path);
  if (!bytes) return kNotFound;
  return "HTTP/1.0 200 OK\r\nContent-Type: image/x-icon\r\nContent-length: " +
         std::to_string(bytes->size()) + "\r\nAccept-ranges: bytes\r\n\r\n" + *bytes;
}

// The value of a header line "Name: value" when the line starts with the name, in any case.
std::optional<Text> HeaderValue(std::string_view line, std::string_view name) {
  if (line.size() < name.size()) return std::nullopt;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (ToLowerAscii(char16_t(static_cast<unsigned char>(line[i]))) != ToLowerAscii(char16_t(name[i])))
      return std::nullopt;
  return Text(Trim(DecodeToken(line.substr(name.size()))));
}

// Paths whose answer changes something (marks read, stores a page, posts a command): only a
// navigation, or a script of our own pages, may ask for them.
bool HasEffect(TextView path) {
  for (TextView prefix : {u"/new", u"/top?", u"/ltop?", u"/add?", u"/sync", u"/reload"})
    if (StartsWith(path, prefix)) return true;
  return false;
}

bool IsOneOf(const Text& value, std::initializer_list<TextView> values) {
  for (TextView candidate : values)
    if (value == candidate) return true;
  return false;
}

// Browsers say what a request is for. An image, a style sheet, a script or a frame's object
// that a feed slipped into a page is no navigation; a request of the page's own script (the
// settings link) is a same-origin request without a destination. Requests without these
// headers (older browsers, the band) are judged by the other rules.
bool IsNavigationOrOwnScript(const HttpRequest& request) {
  const bool navigation = (request.fetchMode.empty() || request.fetchMode == u"navigate") &&
                          (request.fetchDest.empty() || IsOneOf(request.fetchDest, {u"document", u"iframe", u"frame"}));
  const bool ownScript = request.fetchSite == u"same-origin" && IsOneOf(request.fetchMode, {u"cors", u"same-origin"}) &&
                         request.fetchDest == u"empty";
  return navigation || ownScript;
}

// The browser extension's background requests in Chromium: a request of an extension to a host
// it was granted comes from no site ("none"), without an Origin, in cors mode without a
// destination; a web page can produce none of that. (Firefox sends such requests as
// same-origin, as our own pages' script does, and the rules for that already let them pass.)
bool IsExtensionRequest(const HttpRequest& request) {
  return !request.origin && request.fetchSite == u"none" && request.fetchMode == u"cors" &&
         request.fetchDest == u"empty";
}

// What the extension asks for in the background: a check, a feed to add, and a folder to read.
// It reads a folder by following the redirect to the stored page itself and then shows that
// page in the tab: a tab the extension navigates arrives as another site's navigation, which
// may not mark anything read.
bool IsExtensionCommand(TextView path) {
  for (TextView prefix : {u"/add?", u"/new?", u"/top?", u"/ltop?"})
    if (StartsWith(path, prefix)) return true;
  return path == u"/reload";
}

bool IsItemWithNews(const IServerHost& host, ItemId id) {
  const CItemBase* item = id ? host.ItemFromId(id) : nullptr;
  return item && item->newFlag != 0;
}

ItemId FirstItemWithNew(const IServerHost& host) {
  for (ItemId id : host.TopLevelFolderIds())
    if (IsItemWithNews(host, id)) return id;
  return 0;
}

}  // namespace

HttpRequest ParseHttpRequest(std::string_view bytes) {
  HttpRequest request;
  // The request line: tokens end at spaces; the first is the method, the second the path.
  std::size_t at = 0, tokenStart = 0;
  int tokens = 0;
  for (; at < bytes.size() && bytes[at] != '\n' && tokens < 2; ++at) {
    if (bytes[at] != ' ') continue;
    (++tokens == 1 ? request.method : request.path) = DecodeToken(bytes.substr(tokenStart, at - tokenStart));
    tokenStart = at + 1;
  }
  // The header lines after it, up to the blank line: what follows is a body, which a page of
  // another site may fill with lines that look like headers.
  struct Field {
    std::string_view name;
    std::optional<Text>* value;
  };
  std::optional<Text> site, mode, dest;
  const Field fields[] = {{"Host:", &request.host},     {"Origin:", &request.origin},
                          {"Sec-Fetch-Site:", &site},   {"Sec-Fetch-Mode:", &mode},
                          {"Sec-Fetch-Dest:", &dest}};
  std::size_t line = bytes.find('\n', at);
  while (line != std::string_view::npos) {
    const std::size_t begin = line + 1;
    const std::size_t end = bytes.find('\n', begin);
    std::string_view text = bytes.substr(begin, end == std::string_view::npos ? bytes.npos : end - begin);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.empty()) break;
    for (const Field& field : fields) {
      auto value = HeaderValue(text, field.name);
      if (!value) continue;
      if (*field.value) request.repeatedGuardHeader = true;
      *field.value = std::move(*value);
    }
    line = end;
  }
  request.fetchSite = site.value_or(Text());
  request.fetchMode = mode.value_or(Text());
  request.fetchDest = dest.value_or(Text());
  return request;
}

namespace {
Text ServerRoot(uint16_t port) { return u"http://127.0.0.1:" + UnsignedDecimalText(port); }
}  // namespace

Text NewArticlesUrl(uint16_t port) { return ServerRoot(port) + u"/new"; }

Text CurrentPageUrl(uint16_t port, ItemId lastPageId) {
  return lastPageId ? ServerRoot(port) + u"/top?" + UnsignedDecimalText(lastPageId) : ServerRoot(port) + u"/";
}

Text ShowArticlesUrl(uint16_t port, ItemId id, bool storedOnly) {
  return ServerRoot(port) + (storedOnly ? u"/top?" : u"/new?") + UnsignedDecimalText(id);
}

ItemId LeadingItemId(TextView text) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < text.size() && IsAsciiDigit(text[i]); ++i) value = value * 10 + (text[i] - u'0');
  return value;
}

Text GetPageFilePath(const IServerHost& host, ItemId id) {
  const CItemBase* item = id ? host.ItemFromId(id) : nullptr;
  if (item && item->kind == CItemBase::kKindFolder) return host.TempDirectory() + SafeFileName(item->title + u".html");
  return host.TempDirectory() + u"pelun.html";
}

// Only this computer's own names reach the pages: a page of any other site that resolves its
// own name to this address (DNS rebinding) is refused.
bool CRequestRouter::IsOwnHost(TextView host) const {
  const Text port = u":" + UnsignedDecimalText(port_);
  for (TextView name : {u"127.0.0.1", u"localhost", u"[::1]"}) {
    if (EqualsIgnoreCaseAscii(host, name) || EqualsIgnoreCaseAscii(host, Text(name) + port)) return true;
  }
  return false;
}

// Commands change the program; a page of another site must not be able to make the browser
// send them. Requests without these headers (the band, typed addresses) are let through.
bool CRequestRouter::IsCrossSiteCommand(const HttpRequest& request) const {
  const Text& path = request.path;
  const bool command = StartsWith(path, u"/add?") || path == u"/sync" || StartsWith(path, u"/sync?") ||
                       path == u"/reload" || path == u"/new" || StartsWith(path, u"/new?");
  if (!command) return false;
  if (request.fetchSite == u"cross-site" || request.fetchSite == u"same-site") return true;
  if (!request.origin) return false;
  const TextView origin = *request.origin;
  if (!StartsWith(origin, u"http://")) return true;
  return !IsOwnHost(origin.substr(7));
}

// Reading the folders (their names and counts) is for our own pages, the band and the user's
// address bar; a page of another site may navigate there but not read it.
bool CRequestRouter::IsForeignRead(const HttpRequest& request) const {
  const Text& path = request.path;
  if (path != u"/folderlist.xml" && !StartsWith(path, u"/bar.js?")) return false;
  if ((request.fetchSite == u"cross-site" || request.fetchSite == u"same-site") && request.fetchMode != u"navigate")
    return true;
  return request.origin && !(StartsWith(*request.origin, u"http://") && IsOwnHost(TextView(*request.origin).substr(7)));
}

bool CRequestRouter::IsRefused(const HttpRequest& request) const {
  if (request.repeatedGuardHeader || (request.host && !IsOwnHost(*request.host))) return true;
  if (IsExtensionRequest(request)) return HasEffect(request.path) && !IsExtensionCommand(request.path);
  return IsCrossSiteCommand(request) || IsForeignRead(request) ||
         (HasEffect(request.path) && !IsNavigationOrOwnScript(request));
}

std::string CRequestRouter::HandleRequest(std::string_view requestBytes, IServerHost& host) {
  const HttpRequest request = ParseHttpRequest(requestBytes);
  // A HEAD has no business with a command: it would act without anybody seeing a page.
  const bool head = request.method == u"HEAD";
  if (request.method != u"GET" && !(head && !HasEffect(request.path))) return kMethodNotAllowed;
  if (IsRefused(request)) return kForbidden;
  std::string answer = Route(request, host);
  if (head) answer.resize(std::min(answer.size(), answer.find("\r\n\r\n") + 4));
  return answer;
}

std::string CRequestRouter::Route(const HttpRequest& request, IServerHost& host) {
  const Text& path = request.path;
  auto after = [&path](std::size_t prefix) { return TextView(path).substr(prefix); };
  if (path == u"/" || path == u"/folderlist" || StartsWith(path, u"/folderlist?"))
    return Generated("text/html", BuildTopPage(host));
  if (path == u"/folderlist.xml") return Generated("text/xml", BuildFolderListXml(host));
  if (StartsWith(path, u"/new?")) return RedirectToPage(after(5), request, host);
  if (path == u"/new") return RedirectToPage(std::nullopt, request, host);
  if (StartsWith(path, u"/top?")) {
    lastPageId_ = LeadingItemId(after(5));
    return ServeFile(host, GetPageFilePath(host, lastPageId_), "text/html");
  }
  if (StartsWith(path, u"/bar.js?"))
    return Generated("application/x-javascript", BuildBarScript(host, LeadingItemId(after(8))));
  if (StartsWith(path, u"/ltop?")) {
    lastPageId_ = LeadingItemId(after(6));
    return ServeFile(host, GetPageFilePath(host, lastPageId_) + u".list", "text/html");
  }
  if (path == u"/common.css") return ServeFile(host, host.ProgramDirectory() + u"common.css", "text/css");
  if (path == u"/custom.css") {
    std::string answer = ServeFile(host, host.DataDirectory() + u"custom.css", "text/css");
    return answer == kNotFound ? "HTTP/1.0 200\r\nContent-Type: text/css\r\n\r\n" : answer;
  }
  if (path == u"/favicon.ico") return ServeIconFile(host, host.ProgramDirectory() + u"favicon.ico");
  if (StartsWith(path, u"/add?")) {
    host.PostRegisterUrl(Text(after(5)));
    return kClosingPage;
  }
  if (StartsWith(path, u"/sync?")) {
    host.SelectAndShowItem(LeadingItemId(after(6)));
    return kClosingPage;
  }
  if (path == u"/sync") {
    host.PostCommand(IServerHost::Command::kShowMainWindow);
    return kClosingPage;
  }
  if (path == u"/reload") {
    host.PostCommand(IServerHost::Command::kCheckAll);
    return kClosingPage;
  }
  return kNotFound;
}

// The page is stored before the answer goes out, so that it is there when the browser follows.
std::string CRequestRouter::RedirectToPage(std::optional<TextView> idText, const HttpRequest& request,
                                           IServerHost& host) {
  const std::string prefix = request.host ? "http://" + ToUtf8(*request.host) : std::string();
  auto redirect = [&prefix](const std::string& where) {
    return "HTTP/1.0 302\r\nLocation: " + prefix + where + "\r\n\r\n";
  };
  ItemId id = 0;
  bool withNew = true;
  if (idText) {
    id = LeadingItemId(*idText);
    withNew = IsItemWithNews(host, id);
  } else {
    id = FirstItemWithNew(host);
    if (id == 0) return redirect("/");
  }
  WritePageFile(host, id, withNew);
  return redirect((withNew ? "/top?" : "/ltop?") + std::to_string(id));
}

void CRequestRouter::WritePageFile(IServerHost& host, ItemId id, bool withNew) {
  const Text page = BuildPage(host, id, withNew);
  if (page.empty()) return;
  (void)host.WriteFile(GetPageFilePath(host, id) + (withNew ? u"" : u".list"), ToUtf8(page));
}
