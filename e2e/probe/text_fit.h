// What the texts of a window's buttons and labels need: each measured in the font the program
// draws that control in (the catalogue's face, height and weight at the control's display
// scale) and wrapped the way the program wraps it, beside the room the control has.
#pragma once

#include <windows.h>

#include "e2e/probe/json_writer.h"

namespace zv {
struct WindowSpec;
}

namespace probe {

// Writes an array "texts": for every button, radio button, label, graphic button and
// transparent label with a text, its name, client size, DPI, the width of its longest line
// unwrapped, its line height and the number of lines it takes wrapped to its width.
void WriteTextNeeds(HWND top, const zv::WindowSpec* layout, JsonWriter& json);

}  // namespace probe
