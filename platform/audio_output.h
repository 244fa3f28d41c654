// The default wave output device as the playback workers see it: one open stream per playback,
// fed with blocks the caller keeps alive. No decoding or resampling happens on our side; the
// device is opened in the clip's own format.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace zv {

class IAudioStream {
 public:
  // Closes the device; blocks still queued are dropped first.
  virtual ~IAudioStream() = default;

  // Queues one block for playing. The bytes must stay valid until the block is reaped.
  virtual bool Queue(const char* bytes, size_t size) = 0;
  // How many of the queued blocks have finished (played or dropped) since the last call; they
  // are released and their bytes are no longer referenced.
  virtual int Reap() = 0;
  // Sleeps until a block may have finished or Wake is called. False when the time ran out.
  virtual bool Wait(int milliseconds) = 0;
  // Ends a Wait early; callable from any thread.
  virtual void Wake() = 0;
  // Silences the device at once and drops every queued block.
  virtual void Reset() = 0;
};

class IAudioOutput {
 public:
  virtual ~IAudioOutput() = default;
  // Opens the default output device in the format of a WAVE "fmt " chunk body. Nothing when
  // there is no device or it refuses the format.
  virtual std::unique_ptr<IAudioStream> Open(const std::string& format) = 0;
};

}  // namespace zv
