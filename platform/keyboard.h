// Synthesised key strokes. They go wherever the system sends real ones: the focused control of
// the foreground window, whichever program that belongs to.
#pragma once

namespace zv {

enum class KeyMove { Down, Up };

class IKeyboard {
 public:
  virtual ~IKeyboard() = default;
  virtual void Send(unsigned virtualKey, KeyMove move) = 0;
};

}  // namespace zv
