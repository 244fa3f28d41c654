// Keyboard and clipboard fakes for behaviour tests. Both write to the shared effect log, so a
// test sees keys, clipboard and boxes in the exact order the program produced them:
// "key:0D down", "clipboard:<text>".
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "platform/clipboard.h"
#include "platform/fake/fake_ui_host.h"
#include "platform/keyboard.h"

namespace zv {

class FakeKeyboard : public IKeyboard {
 public:
  explicit FakeKeyboard(EffectLog& log) : log_(log) {}
  void Send(unsigned virtualKey, KeyMove move) override {
    char entry[24];
    std::snprintf(entry, sizeof entry, "key:%02X %s", virtualKey,
                  move == KeyMove::Down ? "down" : "up");
    log_.push_back(entry);
  }

 private:
  EffectLog& log_;
};

class FakeClipboard : public IClipboard {
 public:
  explicit FakeClipboard(EffectLog& log) : log_(log) {}
  std::optional<std::string> text;  // what a paste would insert now
  bool busy = false;                // another program holds the clipboard open

  bool PutText(const std::string& newText) override {
    if (busy) return false;
    text = newText;
    log_.push_back("clipboard:" + newText);
    return true;
  }

 private:
  EffectLog& log_;
};

}  // namespace zv
