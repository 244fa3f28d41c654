// Lists every control of the four windows that shows a picture, with the picture and the size
// the control stretches it to, one line each: "window control picture width height" (control
// names in GBK, as the catalogue holds them). The artwork test holds the generated pictures
// against these sizes.
#include <iostream>
#include <string>

#include "ui/catalogue.h"

int main() {
  for (const zv::WindowSpec* window : {&zv::MainWindowSpec(), &zv::UpdateWindowSpec(),
                                       &zv::PianoWindowSpec(), &zv::VoiceWindowSpec()}) {
    for (const zv::ControlSpec& control : window->controls) {
      for (const std::string* picture : {&control.picture, &control.pressedPicture}) {
        if (picture->empty()) continue;
        std::cout << window->id << ' ' << control.name << ' ' << *picture << ' ' << control.width
                  << ' ' << control.height << '\n';
      }
    }
  }
  return 0;
}
