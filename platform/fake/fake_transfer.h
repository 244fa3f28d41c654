// A transfer the test drives by hand: it records what the program asked for, and the test
// delivers bytes and notifications as a real download would, on the test's own thread.
#pragma once

#include <vector>

#include "platform/transfer.h"

namespace zv {

class FakeTransferService : public ITransferService {
 public:
  std::vector<TransferSettings> starts;
  int stops = 0;

  bool Running() const { return running_; }
  void Receive(int64_t bytes) {
    soFar_ += bytes;
    sinceQuery_ += bytes;
  }
  // Delivers a notification to the running transfer's handler; -1 when none is running.
  int Notify(const TransferNotice& notice) {
    if (!running_ || !starts.back().handler) return -1;
    if (notice.code == TransferCode::Ended) running_ = false;
    return starts.back().handler(notice);
  }
  int ReportSize(int64_t length) { return Notify({TransferCode::Size, length, {}}); }
  int End(const TransferOutcome& outcome) { return Notify({TransferCode::Ended, 0, outcome}); }

  void Start(const TransferSettings& settings) override {
    starts.push_back(settings);
    running_ = true;
    soFar_ = sinceQuery_ = 0;
  }
  int64_t BytesSoFar() override { return soFar_; }
  int64_t BytesSinceLastQuery() override {
    const int64_t bytes = sinceQuery_;
    sinceQuery_ = 0;
    return bytes;
  }
  void Stop() override {
    ++stops;
    running_ = false;
  }

 private:
  bool running_ = false;
  int64_t soFar_ = 0;
  int64_t sinceQuery_ = 0;
};

}  // namespace zv
