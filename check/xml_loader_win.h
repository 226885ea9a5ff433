// Loads a downloaded document away from the interface thread and reports by message.
//
// The platform's DOM can load asynchronously and signal ready-state changes, but Wine's loads
// the whole file inside the call and never signals, which would freeze the interface for a big
// feed and leave the check waiting forever. A thread of the loader's own, with a DOM of its own,
// behaves the same everywhere: the interface thread stays free and the result arrives as one
// message after the transfer's.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "store/item_id.h"
#include "util/text.h"
#include "util/xml_element.h"

// The message's long parameter; the receiver deletes it.
struct XmlLoadedDocument {
  uint64_t ticket = 0;               // which load this is (see CXmlLoader2::Ticket)
  std::optional<XmlElement> root;    // nullopt: the file is not well-formed XML
};

class CXmlLoader2 {
 public:
  CXmlLoader2();
  CXmlLoader2(const CXmlLoader2&) = delete;
  CXmlLoader2& operator=(const CXmlLoader2&) = delete;
  // A loader released before its result arrived has that result discarded.
  ~CXmlLoader2();

  // Starts loading `file`; `message` arrives at `window` with the item as word parameter and an
  // XmlLoadedDocument as long parameter. False when the load cannot start.
  [[nodiscard]] bool Load(const Text& file, ItemId item, HWND window, UINT message);

  uint64_t Ticket() const { return ticket_; }

 private:
  uint64_t ticket_;
  std::shared_ptr<std::atomic<bool>> released_;
};
