// The local server's routes: a request's bytes in, the answer's bytes out, computed from the
// live tree through IServerHost. Portable; the socket glue only moves bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/page_source.h"
#include "util/text.h"

// Everything a route may touch besides the pages.
class IServerHost : public IPageSource {
 public:
  virtual const Text& ProgramDirectory() const = 0;  // all three end in a backslash
  virtual const Text& DataDirectory() const = 0;
  virtual const Text& TempDirectory() const = 0;
  virtual std::optional<std::string> ReadFile(const Text& path) const = 0;
  // Creates the folders on the way; failures are ignored by the caller.
  virtual bool WriteFile(const Text& path, std::string_view bytes) = 0;

  // Run after the answer has gone out.
  virtual void PostRegisterUrl(const Text& url) = 0;
  enum class Command { kShowMainWindow, kCheckAll };
  virtual void PostCommand(Command command) = 0;
  virtual void SelectAndShowItem(ItemId id) = 0;
};

struct HttpRequest {
  Text method;               // the first token of the request line
  Text path;                 // the second token
  std::optional<Text> host;  // the "Host" header, trimmed
  Text fetchSite;            // "Sec-Fetch-Site", empty when absent
  Text fetchMode;            // "Sec-Fetch-Mode", empty when absent
  Text fetchDest;            // "Sec-Fetch-Dest", empty when absent
  std::optional<Text> origin;
  // One of the headers the refusals rest on came twice: no browser sends that.
  bool repeatedGuardHeader = false;
};

// The request line's tokens and the header lines the routes look at, up to the blank line
// that ends the header (names in any case).
HttpRequest ParseHttpRequest(std::string_view bytes);

// The addresses other parts of the program open in the browser, always on 127.0.0.1 and the
// port in effect: the new articles, the page shown last (the top page before any), and an
// item's articles (with `storedOnly`, its stored page again without marking anything read).
Text NewArticlesUrl(uint16_t port);
Text CurrentPageUrl(uint16_t port, ItemId lastPageId);
Text ShowArticlesUrl(uint16_t port, ItemId id, bool storedOnly);

// The decimal number at the start of `text`; 0 when it starts with no digit.
ItemId LeadingItemId(TextView text);

// "<TempDirectory><SafeFileName(folder name + ".html")>" for a folder, "pelun.html" otherwise.
Text GetPageFilePath(const IServerHost& host, ItemId id);

class CRequestRouter {
 public:
  explicit CRequestRouter(uint16_t port) : port_(port) {}

  // The whole answer, headers included.
  std::string HandleRequest(std::string_view requestBytes, IServerHost& host);

  ItemId LastPageId() const { return lastPageId_; }

 private:
  std::string Route(const HttpRequest& request, IServerHost& host);
  std::string RedirectToPage(std::optional<TextView> idText, const HttpRequest& request,
                             IServerHost& host);
  void WritePageFile(IServerHost& host, ItemId id, bool withNew);
  bool IsRefused(const HttpRequest& request) const;
  bool IsOwnHost(TextView host) const;
  bool IsCrossSiteCommand(const HttpRequest& request) const;
  bool IsForeignRead(const HttpRequest& request) const;

  uint16_t port_;
  ItemId lastPageId_ = 0;
};
