// Loads and reads downloaded documents away from the interface thread and reports by message.
//
// The platform's DOM can load asynchronously and signal ready-state changes, but Wine's loads
// the whole file inside the call and never signals, which would freeze the interface for a big
// feed and leave the check waiting forever. One loading thread with its own apartment behaves
// the same everywhere: the interface thread stays free, each result arrives as one message
// after the transfer's, and the thread and apartment are set up once rather than per document.
// The document is also read there (a feed into articles, a list into outlines), so the
// interface thread only merges the outcome into the tree.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "check/feed_parser.h"
#include "store/item_id.h"
#include "store/opml.h"
#include "util/text.h"

// How a loaded document is read: as a site's feed, or as the OPML list a folder follows.
struct DocumentReading {
  enum class As { kFeed, kList };
  As as = As::kFeed;
  Text url;                   // the feed's address, which its relative links resolve against
  std::size_t loadItem = 0;   // the most articles taken from a feed
};

// The message's long parameter; the receiver deletes it.
struct XmlLoadedDocument {
  uint64_t ticket = 0;                // which load this is (see CXmlLoader2::Ticket)
  FeedReadResult feed;                // read as a feed: its articles or its error code
  std::optional<OpmlDocument> list;   // read as a list: nullopt when it is none, web sites only
};

// What the loading thread does with one document's bytes.
XmlLoadedDocument ReadLoadedDocument(std::string_view bytes, const DocumentReading& reading);

// The loading thread, owned by whoever owns the checks.
class CXmlLoadService {
 public:
  struct Job {
    std::string document;
    DocumentReading reading;
    ItemId item = 0;
    HWND window = nullptr;
    UINT message = 0;
    uint64_t ticket = 0;
    std::shared_ptr<std::atomic<bool>> released;
  };

  CXmlLoadService() = default;
  CXmlLoadService(const CXmlLoadService&) = delete;
  CXmlLoadService& operator=(const CXmlLoadService&) = delete;
  // Waits for the document being loaded, drops the rest.
  ~CXmlLoadService();

  [[nodiscard]] bool Post(Job job);

 private:
  void Run() noexcept;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::thread thread_;
};

class CXmlLoader2 {
 public:
  CXmlLoader2();
  CXmlLoader2(const CXmlLoader2&) = delete;
  CXmlLoader2& operator=(const CXmlLoader2&) = delete;
  // A loader released before its result arrived has that result discarded.
  ~CXmlLoader2();

  // Starts loading and reading the document's bytes; `message` arrives at `window` with the item as word
  // parameter and an XmlLoadedDocument as long parameter. False when the load cannot start.
  [[nodiscard]] bool Load(CXmlLoadService& service, std::string document, DocumentReading reading,
                          ItemId item, HWND window, UINT message);

  uint64_t Ticket() const { return ticket_; }

 private:
  uint64_t ticket_;
  std::shared_ptr<std::atomic<bool>> released_;
};
