// Remembers every clip the program asked to play, in order.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "voice/clip_player.h"

namespace zv {

class FakeClipPlayer : public IClipPlayer {
 public:
  bool PlayOnce(std::string_view wave) override {
    std::lock_guard<std::mutex> guard(lock_);
    played_.emplace_back(wave);
    return true;
  }

  std::vector<std::string> Played() const {
    std::lock_guard<std::mutex> guard(lock_);
    return played_;
  }

 private:
  mutable std::mutex lock_;
  std::vector<std::string> played_;
};

}  // namespace zv
