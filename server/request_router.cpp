#include "server/request_router.h"

#include "app/private_messages.h"
#include "server/pages.h"
#include "util/code_page.h"
#include "util/text_escape.h"

namespace {

constexpr char kNoCacheHeaders[] = "Pragma: no-cache\r\nCache-Control: no-cache\r\nExpires: 0\r\n\r\n";
constexpr char kForbidden[] = "HTTP/1.0 403\r\n\r\n";
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

// The value of a header line "Name: value" when the line starts with the name, exact case.
std::optional<Text> HeaderValue(std::string_view line, std::string_view name) {
  if (line.substr(0, name.size()) != name) return std::nullopt;
  return Text(Trim(DecodeToken(line.substr(name.size()))));
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
  // The request line: tokens end at spaces; the second is the path.
  std::size_t at = 0, tokenStart = 0;
  int tokens = 0;
  for (; at < bytes.size() && bytes[at] != '\n' && tokens < 2; ++at) {
    if (bytes[at] != ' ') continue;
    if (++tokens == 2) request.path = DecodeToken(bytes.substr(tokenStart, at - tokenStart));
    tokenStart = at + 1;
  }
  // The header lines after it.
  for (std::size_t line = bytes.find_first_of("\r\n", at); line != std::string_view::npos;) {
    const std::size_t begin = line + 1;
    std::size_t end = bytes.find_first_of("\r\n", begin);
    const std::string_view text = bytes.substr(begin, end == std::string_view::npos ? bytes.npos : end - begin);
    if (!request.host)
      if (auto host = HeaderValue(text, "Host:")) request.host = std::move(*host);
    if (auto site = HeaderValue(text, "Sec-Fetch-Site:")) request.fetchSite = std::move(*site);
    if (auto origin = HeaderValue(text, "Origin:")) request.origin = std::move(*origin);
    line = end;
  }
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

std::string CRequestRouter::HandleRequest(std::string_view requestBytes, IServerHost& host) {
  const HttpRequest request = ParseHttpRequest(requestBytes);
  if ((request.host && !IsOwnHost(*request.host)) || IsCrossSiteCommand(request)) return kForbidden;
  return Route(request, host);
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
    host.PostCommand(ID_SHOW_MAIN_WINDOW);
    return kClosingPage;
  }
  if (path == u"/reload") {
    host.PostCommand(ID_CHECK_ALL);
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
