// Face fallbacks, tried in order.
#include "platform/win32/font_faces.h"

#include "platform/win32/fonts.h"

namespace zv::win32 {
namespace {

struct Successor {
  const wchar_t* face;
  const wchar_t* successor;
};

constexpr Successor kSuccessors[] = {
    {L"仿宋_GB2312", L"仿宋"},
    {L"楷体_GB2312", L"楷体"},
};

}  // namespace

std::wstring InstalledFace(const std::wstring& face) {
  if (IsFaceInstalled(face)) return face;
  for (const Successor& row : kSuccessors) {
    if (face == row.face && IsFaceInstalled(row.successor)) return row.successor;
  }
  return {};
}

}  // namespace zv::win32
