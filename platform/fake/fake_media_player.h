// A media player for tests: writes "media-stop" and "media-play:<path>" to the effect log and
// remembers which file would be sounding now.
#pragma once

#include <set>
#include <string>

#include "platform/fake/fake_ui_host.h"
#include "platform/media_player.h"

namespace zv {

class FakeMediaPlayer : public IMediaPlayer {
 public:
  explicit FakeMediaPlayer(EffectLog& log) : log_(log) {}

  std::set<std::string> unplayable;  // paths the system refuses
  std::string playing;               // empty when idle

  void Stop() override {
    log_.push_back("media-stop");
    playing.clear();
  }

  bool Play(const std::string& path) override {
    log_.push_back("media-play:" + path);
    if (unplayable.count(path)) return false;
    playing = path;
    return true;
  }

 private:
  EffectLog& log_;
};

}  // namespace zv
