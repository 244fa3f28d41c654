// Control names of the program's windows from the same window tables the program is built
// from: control ID = 1000 + index in the window's list of controls.
#pragma once

#include <string>

namespace zv {
struct ControlSpec;
struct WindowSpec;
}

namespace probe {

// The window table whose caption is this text, or null (message boxes, foreign windows).
const zv::WindowSpec* LayoutForCaption(const std::wstring& caption);

// The table's row for a control ID, or null when the ID is not one of the table's.
const zv::ControlSpec* SpecForId(const zv::WindowSpec* layout, int id);

// The control's layout name as UTF-16, empty when the ID is not one of the table's.
std::wstring NameForId(const zv::WindowSpec* layout, int id);

// The control ID for a layout name, or -1.
int IdForName(const zv::WindowSpec* layout, const std::wstring& name);

}  // namespace probe
