// One running check: its download, then its XML load.
#pragma once

#include <cstdint>
#include <memory>

#include "check/http_transfer_win.h"
#include "check/xml_loader_win.h"
#include "store/item_id.h"
#include "util/text.h"

struct CCueItem {
  CCueItem() = default;
  CCueItem(const CCueItem&) = delete;
  CCueItem& operator=(const CCueItem&) = delete;
  // Ending a check: the transfer is cancelled if still running and the loader released.
  ~CCueItem();

  ItemId item = 0;
  std::shared_ptr<TransferControl> transfer;
  std::unique_ptr<CXmlLoader2> loader;
  Text url;
  Text lastModified;
  Text etag;
  uint32_t startTick = 0;
  bool force = false;
  bool manual = false;
};
