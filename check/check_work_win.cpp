#include "check/check_work_win.h"

#include "check/http_transfer_win.h"

namespace {

class DownloadWork final : public CheckWork {
 public:
  explicit DownloadWork(std::shared_ptr<TransferControl> transfer) : transfer_(std::move(transfer)) {}
  ~DownloadWork() override { transfer_->Cancel(); }

 private:
  std::shared_ptr<TransferControl> transfer_;
};

class LoadWork final : public CheckWork {
 public:
  CXmlLoader2 loader;
};

}  // namespace

std::unique_ptr<CheckWork> StartDownloadWork(FetchRequest request, HWND window, UINT message) {
  auto transfer = StartScheduledTransfer(std::move(request), window, message);
  if (!transfer) return nullptr;
  return std::make_unique<DownloadWork>(std::move(transfer));
}

std::unique_ptr<CheckWork> StartLoadWork(CXmlLoadService& service, std::string body, DocumentReading reading,
                                         ItemId item, HWND window, UINT message, uint64_t* ticket) {
  auto work = std::make_unique<LoadWork>();
  if (!work->loader.Load(service, std::move(body), std::move(reading), item, window, message)) return nullptr;
  *ticket = work->loader.Ticket();
  return work;
}
