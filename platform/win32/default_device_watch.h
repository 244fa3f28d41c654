// The system's default output device through the multimedia device enumerator: whether there is
// one, and a callback when it changes (the user picks another, or the one in use is unplugged).
// The callback must only take note: it runs on a system thread that must not be kept waiting,
// and may still run a last time while the watch is going, so it must hold whatever it uses.
#pragma once

#include <functional>

struct IMMDeviceEnumerator;

namespace zv::win32 {

class DefaultDeviceWatch {
 public:
  // Needs COM on the calling thread; watches nothing when the enumerator cannot be had.
  explicit DefaultDeviceWatch(std::function<void()> changed);
  ~DefaultDeviceWatch();
  DefaultDeviceWatch(const DefaultDeviceWatch&) = delete;
  DefaultDeviceWatch& operator=(const DefaultDeviceWatch&) = delete;

  // Whether there is a default output device now. Without the enumerator there is none: the
  // sound engine finds its device through it too.
  bool Present() const;

 private:
  class Client;
  IMMDeviceEnumerator* enumerator_ = nullptr;
  Client* client_ = nullptr;
};

}  // namespace zv::win32
