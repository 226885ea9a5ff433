#include "check/xml_loader_win.h"

#include <objbase.h>

#include "util/xml_dom_win.h"

namespace {

std::atomic<uint64_t> nextTicket{1};

void LoadAndReport(const CXmlLoadService::Job& job) {
  if (job.released->load()) return;
  auto loaded = std::make_unique<XmlLoadedDocument>(ReadLoadedDocument(job.document, job.reading));
  loaded->ticket = job.ticket;
  if (job.released->load()) return;
  if (::PostMessageW(job.window, job.message, static_cast<WPARAM>(job.item),
                     reinterpret_cast<LPARAM>(loaded.get())))
    loaded.release();  // the window owns it now
}

}  // namespace

XmlLoadedDocument ReadLoadedDocument(std::string_view bytes, const DocumentReading& reading) {
  XmlLoadedDocument loaded;
  const std::optional<XmlElement> root = LoadXmlDocument(bytes);
  if (reading.as == DocumentReading::As::kFeed) {
    loaded.feed = ReadFeedDocument(root, reading.url, reading.loadItem);
  } else if (root) {
    loaded.list = ReadOpml(*root);
    if (loaded.list) KeepWebSitesOnly(loaded.list->items);
  }
  return loaded;
}

CXmlLoadService::~CXmlLoadService() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool CXmlLoadService::Post(Job job) {
  try {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return false;
    if (!thread_.joinable()) thread_ = std::thread(&CXmlLoadService::Run, this);
    jobs_.push_back(std::move(job));
  } catch (...) {
    return false;
  }
  wake_.notify_one();
  return true;
}

void CXmlLoadService::Run() noexcept {
  // Multithreaded: the thread never pumps messages, which a single-threaded apartment needs
  // from its thread; MSXML 3's document lives in either.
  const HRESULT apartment = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  for (;;) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) break;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    try {
      LoadAndReport(job);
    } catch (...) {
      // Out of memory: this check ends by its timeout.
    }
  }
  if (SUCCEEDED(apartment)) ::CoUninitialize();
}

CXmlLoader2::CXmlLoader2()
    : ticket_(nextTicket++), released_(std::make_shared<std::atomic<bool>>(false)) {}

CXmlLoader2::~CXmlLoader2() { released_->store(true); }

bool CXmlLoader2::Load(CXmlLoadService& service, std::string document, DocumentReading reading,
                       ItemId item, HWND window, UINT message) {
  return service.Post({std::move(document), std::move(reading), item, window, message, ticket_, released_});
}
