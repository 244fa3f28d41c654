// A signature check the test decides: it records the bytes of every file asked about, with the
// key, the signature and the thread that asked, and answers with `valid` — once the test lets it,
// when it holds the answers back.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/signature_checker.h"

namespace zv {

class FakeSignatureChecker : public ISignatureChecker {
 public:
  struct Check {
    std::string bytes;
    EcPublicKey key;
    EcdsaSignature signature;
    std::thread::id thread;
  };

  std::atomic<bool> valid{true};

  // Checks asked from now on wait with their answer until Release.
  void Hold() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = true;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = false;
    released_.notify_all();
  }

  std::vector<Check> Checks() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return checks_;
  }

  bool BytesAreSigned(std::string_view bytes, const EcPublicKey& key,
                      const EcdsaSignature& signature, const std::atomic<bool>& cut) override {
    std::unique_lock<std::mutex> lock(mutex_);
    checks_.push_back({std::string(bytes), key, signature, std::this_thread::get_id()});
    released_.wait(lock, [this] { return !held_; });
    return valid && !cut;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::vector<Check> checks_;
};

}  // namespace zv
