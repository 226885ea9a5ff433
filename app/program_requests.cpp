#include "app/program_requests.h"

#include "server/request_router.h"

Text BuildTopItemList(const std::vector<TopItemSummary>& items, uint16_t port) {
  Text list;
  auto append = [&list](const Text& field) {
    list += field;
    list += u'\0';
  };
  for (const TopItemSummary& item : items) {
    append(item.name);
    append(UnsignedDecimalText(item.fresh));
    append(ShowArticlesUrl(port, item.id, false));
    append(ShowArticlesUrl(port, item.id, true));
  }
  list += u'\0';
  return list;
}
