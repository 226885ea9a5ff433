#include "check/xml_loader_win.h"

#include <objbase.h>

#include <thread>

#include "util/xml_dom_win.h"

namespace {

std::atomic<uint64_t> nextTicket{1};

void LoadOnThread(Text file, ItemId item, HWND window, UINT message, uint64_t ticket,
                  std::shared_ptr<std::atomic<bool>> released) noexcept {
  try {
    const HRESULT apartment = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto loaded = std::make_unique<XmlLoadedDocument>();
    loaded->ticket = ticket;
    loaded->root = LoadXmlFile(file);
    if (SUCCEEDED(apartment)) ::CoUninitialize();
    if (released->load()) return;
    if (::PostMessageW(window, message, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(loaded.get())))
      loaded.release();  // the window owns it now
  } catch (...) {
    // Out of memory: the check ends by its timeout.
  }
}

}  // namespace

CXmlLoader2::CXmlLoader2()
    : ticket_(nextTicket++), released_(std::make_shared<std::atomic<bool>>(false)) {}

CXmlLoader2::~CXmlLoader2() { released_->store(true); }

bool CXmlLoader2::Load(const Text& file, ItemId item, HWND window, UINT message) {
  try {
    std::thread(LoadOnThread, file, item, window, message, ticket_, released_).detach();
    return true;
  } catch (...) {
    return false;
  }
}
