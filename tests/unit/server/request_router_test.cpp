#include "server/request_router.h"

#include <gtest/gtest.h>

#include <map>

#include "store/data_file.h"

namespace {

// A program of the test's own: two folders, ids 10 and 20, with sites 11, 12 and 21.
class FakeHost : public IServerHost {
 public:
  FakeHost() {
    AddFolder(10, u"ニュース: 国内/海外", {11, 12});
    AddFolder(20, u"blogs", {21});
  }

  std::vector<ItemId> TopLevelFolderIds() const override { return {10, 20}; }
  std::vector<ItemId> ChildIds(ItemId folder) const override {
    auto found = children_.find(folder);
    return found == children_.end() ? std::vector<ItemId>() : found->second;
  }
  CItemBase* ItemFromId(ItemId id) const override {
    auto found = items_.find(id);
    return found == items_.end() ? nullptr : found->second;
  }
  const CSettings& Settings() const override { return settings_; }
  Text BodyWhitelist() const override { return Text(); }
  bool PageFileExists(ItemId id) const override { return files.count(GetPageFilePath(*this, id)) != 0; }
  void MarkRead(ItemId id) override { marked.push_back(id); }
  const Text& ProgramDirectory() const override { return program_; }
  const Text& DataDirectory() const override { return data_; }
  const Text& TempDirectory() const override { return temp_; }
  std::optional<std::string> ReadFile(const Text& path) const override {
    auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  bool WriteFile(const Text& path, std::string_view bytes) override {
    files[path] = std::string(bytes);
    return true;
  }
  void PostRegisterUrl(const Text& url) override { registered.push_back(url); }
  void PostCommand(Command command) override { commands.push_back(command); }
  void SelectAndShowItem(ItemId id) override { selected.push_back(id); }

  CFolderItem& Folder(ItemId id) { return static_cast<CFolderItem&>(*items_.at(id)); }

  std::map<Text, std::string> files;
  std::vector<ItemId> marked, selected;
  std::vector<Text> registered;
  std::vector<IServerHost::Command> commands;

 private:
  void AddFolder(ItemId id, TextView title, std::vector<ItemId> sites) {
    folders_.push_back(std::make_unique<CFolderItem>());
    CFolderItem& folder = *folders_.back();
    folder.title = title;
    items_[id] = &folder;
    const CItemBase* last = nullptr;
    for (ItemId site : sites) {
      auto item = std::make_unique<CRssSiteItem>();
      item->title = u"site " + UnsignedDecimalText(site);
      item->src = u"http://example.com/" + UnsignedDecimalText(site);
      last = InsertChildAfter(folder, std::move(item), last);
      items_[site] = const_cast<CItemBase*>(last);
    }
    children_[id] = std::move(sites);
  }

  FolderList folders_;
  std::map<ItemId, CItemBase*> items_;
  std::map<ItemId, std::vector<ItemId>> children_;
  CSettings settings_;
  Text program_ = u"C:\\pelun\\", data_ = u"C:\\data\\", temp_ = u"C:\\temp\\";
};

std::string Get(CRequestRouter& router, FakeHost& host, std::string_view path,
                std::string_view headers = "Host: 127.0.0.1:4474\r\n") {
  return router.HandleRequest("GET " + std::string(path) + " HTTP/1.1\r\n" + std::string(headers) + "\r\n", host);
}

std::string Head(const std::string& answer) { return answer.substr(0, answer.find("\r\n\r\n") + 4); }

}  // namespace

TEST(RequestRouter, RoutesAndTheirAnswers) {
  FakeHost host;
  CRequestRouter router(4474);
  const std::string noCache = "Pragma: no-cache\r\nCache-Control: no-cache\r\nExpires: 0\r\n\r\n";
  for (std::string_view path : {"/", "/folderlist", "/folderlist?x=1"})
    EXPECT_EQ(Head(Get(router, host, path)), "HTTP/1.0 200\r\nContent-Type: text/html\r\n" + noCache) << path;
  EXPECT_EQ(Head(Get(router, host, "/folderlist.xml")), "HTTP/1.0 200\r\nContent-Type: text/xml\r\n" + noCache);
  EXPECT_EQ(Head(Get(router, host, "/bar.js?10")),
            "HTTP/1.0 200\r\nContent-Type: application/x-javascript\r\n" + noCache);
  for (std::string_view path : {"/top?10", "/ltop?11", "/common.css", "/favicon.ico", "/exit", "", "/Folderlist"})
    EXPECT_EQ(Get(router, host, path), "HTTP/1.0 404\r\n\r\n") << path;
  EXPECT_EQ(Get(router, host, "/custom.css"), "HTTP/1.0 200\r\nContent-Type: text/css\r\n\r\n");

  host.files[u"C:\\pelun\\common.css"] = "body{}";
  host.files[u"C:\\data\\custom.css"] = "p{}";
  host.files[u"C:\\pelun\\favicon.ico"] = std::string("\0\0\1\0", 4);
  EXPECT_EQ(Get(router, host, "/common.css"), "HTTP/1.0 200\r\nContent-Type: text/css\r\n\r\nbody{}");
  EXPECT_EQ(Get(router, host, "/custom.css"), "HTTP/1.0 200\r\nContent-Type: text/css\r\n\r\np{}");
  EXPECT_EQ(Get(router, host, "/favicon.ico"),
            "HTTP/1.0 200 OK\r\nContent-Type: image/x-icon\r\nContent-length: 4\r\n"
            "Accept-ranges: bytes\r\n\r\n" + host.files[u"C:\\pelun\\favicon.ico"]);

  const std::string closing =
      "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><script>window.close();</script></body></html>";
  EXPECT_EQ(Get(router, host, "/add?http://example.com/a%20b?x=1"), closing);
  EXPECT_EQ(Get(router, host, "/sync?21abc"), closing);
  EXPECT_EQ(Get(router, host, "/sync"), closing);
  EXPECT_EQ(Get(router, host, "/reload"), closing);
  EXPECT_EQ(host.registered, std::vector<Text>{u"http://example.com/a%20b?x=1"}) << "passed as it arrived";
  EXPECT_EQ(host.selected, std::vector<ItemId>{21});
  EXPECT_EQ(host.commands, (std::vector<IServerHost::Command>{IServerHost::Command::kShowMainWindow, IServerHost::Command::kCheckAll}));
}

TEST(RequestRouter, RedirectsStorePagesAndMarkRead) {
  FakeHost host;
  CRequestRouter router(4474);
  // Nothing new: back to the top page, with or without a host line, and nothing stored.
  EXPECT_EQ(Get(router, host, "/new"), "HTTP/1.0 302\r\nLocation: http://127.0.0.1:4474/\r\n\r\n");
  EXPECT_EQ(Get(router, host, "/new", ""), "HTTP/1.0 302\r\nLocation: /\r\n\r\n");
  EXPECT_TRUE(host.files.empty());

  // A folder without news is stored under its safe name with ".list".
  EXPECT_EQ(Get(router, host, "/new?10", ""), "HTTP/1.0 302\r\nLocation: /ltop?10\r\n\r\n");
  const Text listFile = u"C:\\temp\\ニュース： 国内／海外.html.list";
  ASSERT_EQ(host.files.count(listFile), 1u);
  EXPECT_EQ(Get(router, host, "/ltop?10"), "HTTP/1.0 200\r\nContent-Type: text/html\r\n\r\n" + host.files[listFile]);
  EXPECT_EQ(router.LastPageId(), 10u);

  // The first folder with news; its page is stored before the answer and marks it read.
  host.Folder(20).newFlag = 1;
  host.Folder(20).Children()[0]->newFlag = 1;
  EXPECT_EQ(Get(router, host, "/new"), "HTTP/1.0 302\r\nLocation: http://127.0.0.1:4474/top?20\r\n\r\n");
  EXPECT_EQ(host.files.count(u"C:\\temp\\blogs.html"), 1u);
  EXPECT_EQ(host.marked, (std::vector<ItemId>{10, 20}));
  EXPECT_EQ(Head(Get(router, host, "/top?20")), "HTTP/1.0 200\r\nContent-Type: text/html\r\n\r\n");

  // Sites, 0 and unknown ids share one file; an unknown id stores the error page.
  EXPECT_EQ(Get(router, host, "/new?999", ""), "HTTP/1.0 302\r\nLocation: /ltop?999\r\n\r\n");
  EXPECT_EQ(host.files[u"C:\\temp\\pelun.html.list"], "<html><head><title>error</title></head></html>");
  EXPECT_EQ(Get(router, host, "/top?0"), Get(router, host, "/top?11"));
}

TEST(RequestRouter, RequestsFromOtherSitesAreRefusedWithoutEffect) {
  FakeHost host;
  CRequestRouter router(4474);
  const std::string forbidden = "HTTP/1.0 403\r\n\r\n";
  constexpr std::string_view own = "Host: 127.0.0.1:4474\r\n";
  // What Chromium sends for an image in a page of ours, for a navigation and for our own script.
  constexpr std::string_view image = "Host: 127.0.0.1:4474\r\nSec-Fetch-Site: same-origin\r\nSec-Fetch-Mode: no-cors\r\n"
                                     "Sec-Fetch-Dest: image\r\n";
  constexpr std::string_view navigation = "Host: 127.0.0.1:4474\r\nSec-Fetch-Site: same-origin\r\n"
                                          "Sec-Fetch-Mode: navigate\r\nSec-Fetch-Dest: document\r\n";
  constexpr std::string_view ownScript = "Host: 127.0.0.1:4474\r\nSec-Fetch-Site: same-origin\r\nSec-Fetch-Mode: cors\r\n"
                                         "Sec-Fetch-Dest: empty\r\n";
  struct Case {
    std::string_view path;
    std::string headers;
    bool refused;
  } cases[] = {
      {"/", "Host: evil.example:4474\r\n", true},  // DNS rebinding
      {"/folderlist.xml", "Host: 127.0.0.1:8080\r\n", true},
      {"/", "Host: localhost\r\n", false},
      {"/", "Host: [::1]:4474\r\n", false},
      {"/", "Host: 127.0.0.1:4474\r\nhost: evil.example\r\n", true},  // which one would count?
      {"/", std::string(own) + "Sec-Fetch-Site: same-origin\r\nSEC-FETCH-SITE: cross-site\r\n", true},
      {"/reload", std::string(own) + "Sec-Fetch-Site: cross-site\r\n", true},
      {"/add?http://x/", std::string(own) + "Sec-Fetch-Site: same-site\r\n", true},
      {"/new", std::string(own) + "Origin: http://evil.example\r\n", true},
      {"/sync", std::string(own) + "Origin: null\r\n", true},
      {"/reload", std::string(own) + "Origin: http://127.0.0.1:4474\r\nSec-Fetch-Site: same-origin\r\n", false},
      // A feed's pictures in our own pages: same origin, but no navigation.
      {"/add?/exit", std::string(image), true},
      {"/new?10", std::string(image), true},
      {"/top?10", std::string(own) + "Sec-Fetch-Mode: no-cors\r\n", true},
      {"/reload", std::string(own) + "Sec-Fetch-Dest: script\r\n", true},
      {"/common.css", std::string(image), false},
      {"/new?10", std::string(navigation), false},
      {"/sync?21", std::string(ownScript), false},
      {"/ltop?10", std::string(own) + "Sec-Fetch-Mode: navigate\r\nSec-Fetch-Dest: iframe\r\n", false},
      // The folders may be read by our pages, the band and the address bar, not by other sites.
      {"/folderlist.xml", std::string(own) + "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: no-cors\r\n", true},
      {"/bar.js?10", std::string(own) + "Sec-Fetch-Site: same-site\r\nSec-Fetch-Dest: script\r\n", true},
      {"/folderlist.xml", std::string(own) + "Origin: http://evil.example\r\n", true},
      {"/folderlist.xml", std::string(own) + "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: navigate\r\n", false},
      {"/bar.js?10", std::string(own) + "Sec-Fetch-Site: same-origin\r\nSec-Fetch-Dest: script\r\n", false},
      {"/folderlist.xml", std::string(own) + "Sec-Fetch-Site: none\r\n", false},
  };
  for (const auto& c : cases) {
    const bool refused = Get(router, host, c.path, c.headers) == forbidden;
    EXPECT_EQ(refused, c.refused) << c.path << " " << c.headers;
  }
  EXPECT_TRUE(host.registered.empty());
  EXPECT_EQ(host.commands, std::vector<IServerHost::Command>{IServerHost::Command::kCheckAll});
  EXPECT_EQ(host.marked, std::vector<ItemId>{10}) << "only the navigation read the folder";
  EXPECT_EQ(host.selected, std::vector<ItemId>{21});
}

// The browser extension reads the folders, checks, adds and reads a folder from its background.
// Chromium sends these from no site and without an Origin; Firefox as same-origin requests of a
// script, which our own pages send too (both measured). Nothing else that looks like them gets
// more than before.
TEST(RequestRouter, TheExtensionsBackgroundRequestsPassAndNothingElse) {
  FakeHost host;
  CRequestRouter router(4474);
  const std::string chromium = "Host: 127.0.0.1:4474\r\nSec-Fetch-Site: none\r\nSec-Fetch-Mode: cors\r\n"
                               "Sec-Fetch-Dest: empty\r\n";
  const std::string firefox = "Host: 127.0.0.1:4474\r\nSec-Fetch-Dest: empty\r\nSec-Fetch-Mode: cors\r\n"
                              "Sec-Fetch-Site: same-origin\r\n";
  const std::string forbidden = "HTTP/1.0 403\r\n\r\n";
  for (const std::string& headers : {chromium, firefox}) {
    for (std::string_view path : {"/folderlist.xml", "/reload", "/add?http://example.com/feed.xml", "/new?10", "/ltop?10"})
      EXPECT_NE(Get(router, host, path, headers), forbidden) << path << " " << headers;
  }
  for (std::string_view path : {"/new", "/sync", "/sync?21"})
    EXPECT_EQ(Get(router, host, path, chromium), forbidden) << path;
  struct Case {
    std::string_view path;
    std::string headers;
  } refused[] = {
      // A page's own fetch says which site it comes from and, cross-site, names it.
      {"/reload", "Host: 127.0.0.1:4474\r\nOrigin: http://evil.example\r\nSec-Fetch-Site: cross-site\r\n"
                  "Sec-Fetch-Mode: cors\r\nSec-Fetch-Dest: empty\r\n"},
      // An extension that names itself (one without the permission for this host) does not pass.
      {"/reload", "Host: 127.0.0.1:4474\r\nOrigin: chrome-extension://abcdefghijklmnopabcdefghijklmnop\r\n"
                  "Sec-Fetch-Site: none\r\nSec-Fetch-Mode: cors\r\nSec-Fetch-Dest: empty\r\n"},
      {"/reload", "Host: 127.0.0.1:4474\r\nOrigin: moz-extension://0c5e1a6b-3b7e-4f6e-9d1c-2a4b5c6d7e8f\r\n"
                  "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: cors\r\nSec-Fetch-Dest: empty\r\n"},
      {"/add?http://x/", "Host: 127.0.0.1:4474\r\nSec-Fetch-Site: none\r\nSec-Fetch-Mode: no-cors\r\n"
                         "Sec-Fetch-Dest: image\r\n"},
      {"/reload", "Host: evil.example\r\nSec-Fetch-Site: none\r\nSec-Fetch-Mode: cors\r\nSec-Fetch-Dest: empty\r\n"},
  };
  for (const auto& c : refused) EXPECT_EQ(Get(router, host, c.path, c.headers), forbidden) << c.path << " " << c.headers;
  EXPECT_EQ(host.registered, (std::vector<Text>{u"http://example.com/feed.xml", u"http://example.com/feed.xml"}));
  EXPECT_EQ(host.commands, (std::vector<IServerHost::Command>{IServerHost::Command::kCheckAll, IServerHost::Command::kCheckAll}));
  EXPECT_EQ(host.marked, (std::vector<ItemId>{10, 10}));
  EXPECT_TRUE(host.selected.empty());
}

// Headers end at the blank line; a cross-site form posting text/plain fills its body with
// lines that look like headers, and only GET and HEAD are served.
TEST(RequestRouter, OnlyTheHeaderCountsAndOnlyGetAndHeadAreServed) {
  FakeHost host;
  CRequestRouter router(4474);
  const std::string smuggled = "Host: 127.0.0.1:4474\r\nSec-Fetch-Site: cross-site\r\n\r\nSec-Fetch-Site: same-origin\r\n";
  EXPECT_EQ(router.HandleRequest("GET /reload HTTP/1.1\r\n" + smuggled, host), "HTTP/1.0 403\r\n\r\n");
  const HttpRequest parsed = ParseHttpRequest("GET / HTTP/1.1\nHost: 127.0.0.1\n\nOrigin: http://x\n");
  EXPECT_EQ(parsed.host, Text(u"127.0.0.1"));
  EXPECT_FALSE(parsed.origin) << "bare line feeds end the header too";
  for (std::string_view method : {"POST", "PUT", "DELETE", "OPTIONS", "get"})
    EXPECT_EQ(router.HandleRequest(std::string(method) + " /reload HTTP/1.1\r\nHost: 127.0.0.1:4474\r\n\r\n", host),
              "HTTP/1.0 405\r\nAllow: GET, HEAD\r\n\r\n")
        << method;
  EXPECT_EQ(router.HandleRequest("HEAD /new HTTP/1.1\r\n\r\n", host), "HTTP/1.0 405\r\nAllow: GET, HEAD\r\n\r\n");
  EXPECT_EQ(router.HandleRequest("HEAD /folderlist.xml HTTP/1.1\r\n\r\n", host),
            "HTTP/1.0 200\r\nContent-Type: text/xml\r\nPragma: no-cache\r\nCache-Control: no-cache\r\nExpires: 0\r\n\r\n");
  EXPECT_TRUE(host.commands.empty());
  EXPECT_TRUE(host.marked.empty());
}

TEST(RequestRouter, RequestLineAndHeaders) {
  const HttpRequest request = ParseHttpRequest("GET /new?12 HTTP/1.0\r\nX-Host: wrong\r\nhost:  127.0.0.1 \r\n\r\n");
  EXPECT_EQ(request.method, u"GET");
  EXPECT_EQ(request.path, u"/new?12");
  EXPECT_EQ(request.host, Text(u"127.0.0.1"));
  EXPECT_EQ(ParseHttpRequest("GET /x\r\n\r\n").path, u"");
  EXPECT_FALSE(ParseHttpRequest("GET / HTTP/1.0\r\n\r\n").host);
  EXPECT_EQ(NewArticlesUrl(4474), u"http://127.0.0.1:4474/new");
  EXPECT_EQ(CurrentPageUrl(8080, 0), u"http://127.0.0.1:8080/");
  EXPECT_EQ(CurrentPageUrl(8080, 12), u"http://127.0.0.1:8080/top?12");
  EXPECT_EQ(ShowArticlesUrl(4474, 7, false), u"http://127.0.0.1:4474/new?7");
  EXPECT_EQ(ShowArticlesUrl(4474, 7, true), u"http://127.0.0.1:4474/top?7");
  EXPECT_EQ(LeadingItemId(u"123abc"), 123u);
  EXPECT_EQ(LeadingItemId(u"x1"), 0u);
}
