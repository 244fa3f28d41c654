// The transfer service over WinINet: a download in parallel HTTP ranges (one stream when the
// server ignores ranges) into a file beside the target, which replaces the target only once
// every byte has arrived.
#pragma once

#include <memory>
#include <mutex>

#include "platform/transfer.h"

namespace zv::win32 {

struct TransferJob;

class WinInetTransfer final : public ITransferService {
 public:
  WinInetTransfer();
  ~WinInetTransfer() override;
  WinInetTransfer(const WinInetTransfer&) = delete;
  WinInetTransfer& operator=(const WinInetTransfer&) = delete;

  void Start(const TransferSettings& settings) override;
  int64_t BytesSoFar() override;
  int64_t BytesSinceLastQuery() override;
  void Stop() override;

 private:
  std::mutex mutex_;
  std::shared_ptr<TransferJob> job_;  // the current or last transfer
};

}  // namespace zv::win32
