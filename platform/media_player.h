// The system's media playback for one sound file by path (mp3, wav, whatever the system plays).
// At most one file plays at a time; failures are silent.
#pragma once

#include <string>

namespace zv {

class IMediaPlayer {
 public:
  virtual ~IMediaPlayer() = default;
  // Stops and releases the file playing now, if any.
  virtual void Stop() = 0;
  // Starts playing the file once without waiting for it. False when the file cannot be played.
  virtual bool Play(const std::string& path) = 0;
};

}  // namespace zv
