// Font handles belong to the process that made them, so the probe makes the same font again
// from the same description rather than asking the control for its handle.
#include "e2e/probe/text_fit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/probe/control_names.h"
#include "e2e/probe/window_walk.h"
#include "platform/win32/code_page.h"
#include "platform/win32/display_dpi.h"
#include "platform/win32/font_faces.h"
#include "platform/win32/fonts.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/text_wrap.h"
#include "ui/catalogue.h"

namespace probe {
namespace {

using zv::ControlKind;

bool HasCaption(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::RadioButton ||
         kind == ControlKind::Label || kind == ControlKind::GraphicButton ||
         kind == ControlKind::TransparentLabel;
}

}  // namespace

void WriteTextNeeds(HWND top, const zv::WindowSpec* layout, JsonWriter& json) {
  const zv::win32::WindowDc screen(nullptr);
  const zv::win32::MemoryDc dc(CreateCompatibleDC(screen.get()));
  json.Key("texts");
  json.BeginArray();
  for (HWND child : Descendants(top)) {
    const zv::ControlSpec* spec = SpecForId(layout, GetDlgCtrlID(child));
    if (!spec || !HasCaption(spec->kind)) continue;
    const std::wstring text = TextOf(child, Answers(child));
    if (text.empty()) continue;
    // The face the program draws in: the one named, its successor, or the GUI font's.
    const UINT dpi = zv::win32::WindowDpi(child);
    zv::FontSpec drawn = spec->font;
    const std::wstring face = zv::win32::InstalledFace(zv::win32::GbkToWide(spec->font.face));
    drawn.face = zv::win32::WideToGbk(face);
    const LOGFONTW description = zv::win32::DescribeFont(drawn, !face.empty(), dpi);
    const zv::win32::GdiObject<HFONT> font(CreateFontIndirectW(&description));
    const zv::win32::Selection selected(dc.get(), font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    const auto measure = [&dc](const wchar_t* line, size_t count) {
      SIZE size{};
      GetTextExtentPoint32W(dc.get(), line, static_cast<int>(count), &size);
      return static_cast<int>(size.cx);
    };
    int widest = 0;
    for (const std::wstring& line : zv::win32::SplitLines(text)) {
      widest = std::max(widest, measure(line.c_str(), line.size()));
    }
    RECT client{};
    GetClientRect(child, &client);
    const size_t lines = zv::win32::WrapText(text, client.right, measure).size();
    json.BeginObject();
    json.Field("name", ToUtf8(FromGbk(spec->name)));
    json.Field("dpi", static_cast<long long>(dpi));
    json.Rect("client", 0, 0, client.right, client.bottom);
    json.Field("widest", widest);
    json.Field("line_height", static_cast<long long>(metrics.tmHeight));
    json.Field("lines", static_cast<long long>(lines));
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace probe
