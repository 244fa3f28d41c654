// Small helpers that keep the window tables one row per control.
#pragma once

#include <string>

#include "ui/catalogue.h"

namespace zv::layout {

// Functions rather than globals: the tables may be built during another file's static
// initialisation.
inline FontSpec TabFont() { return {"仿宋_GB2312", 15, true}; }
inline FontSpec SaveButtonFont() { return {"仿宋_GB2312", 13, true}; }
inline FontSpec SlotButtonFont() { return {"仿宋_GB2312", 24, true}; }
inline FontSpec SoundButtonFont() { return {"黑体", 11, false}; }
inline FontSpec LinkFont() { return {"宋体", 12, false}; }

// Appends a control and returns it so a row can set the few fields it needs.
inline ControlSpec& Add(WindowSpec& window, const std::string& name, ControlKind kind,
                        const std::string& container, int left, int top, int width,
                        int height, const std::string& text = "") {
  ControlSpec control;
  control.name = name;
  control.kind = kind;
  control.container = container;
  control.left = left;
  control.top = top;
  control.width = width;
  control.height = height;
  control.text = text;
  window.controls.push_back(control);
  return window.controls.back();
}

inline ControlSpec& AddTimer(WindowSpec& window, const std::string& name,
                             const std::string& container, int interval, Action action) {
  ControlSpec& timer = Add(window, name, ControlKind::Timer, container, 0, 0, 0, 0);
  timer.interval = interval;
  timer.action = action;
  return timer;
}

inline ControlSpec& WithAction(ControlSpec& control, Action action,
                               const std::string& target = "") {
  control.action = action;
  control.target = target;
  return control;
}

inline ControlSpec& WithAction(ControlSpec& control, Action action, int number) {
  control.action = action;
  control.number = number;
  return control;
}

inline ControlSpec& Hidden(ControlSpec& control) {
  control.visible = false;
  return control;
}

}  // namespace zv::layout
