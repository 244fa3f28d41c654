// Sound files by path through MCI: the system picks the device for the file's type, so both
// .wav and .mp3 play. One file at a time under one alias.
#pragma once

#include "platform/media_player.h"

namespace zv::win32 {

class MciMediaPlayer final : public IMediaPlayer {
 public:
  ~MciMediaPlayer() override { Stop(); }
  void Stop() override;
  bool Play(const std::string& path) override;

 private:
  bool open_ = false;
};

}  // namespace zv::win32
