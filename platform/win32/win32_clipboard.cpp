// Replacing the clipboard's content with one text in two formats. The clipboard is opened with
// an owner window of our own: opened without one, EmptyClipboard leaves no owner and
// SetClipboardData then fails.
#include "platform/win32/win32_clipboard.h"

#include <cstring>
#include <string>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

// OpenClipboard .. CloseClipboard; nothing else can touch the clipboard in between.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != 0) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_;
};

// Copies `bytes` (terminator included) into a movable, zero-initialised block and hands it to
// the clipboard, which then owns it; the block is freed here only when the clipboard refuses it.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setclipboarddata
bool PutBlock(UINT format, const void* bytes, size_t size) {
  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  void* target = block ? GlobalLock(block.get()) : nullptr;
  if (target == nullptr) return false;
  std::memcpy(target, bytes, size);
  GlobalUnlock(block.get());
  if (SetClipboardData(format, block.get()) == nullptr) return false;
  block.Release();
  return true;
}

}  // namespace

Win32Clipboard::~Win32Clipboard() {
  if (owner_ != nullptr) DestroyWindow(owner_);
}

HWND Win32Clipboard::Owner() {
  // A message-only window: never shown, never enumerated as a top-level window.
  if (owner_ == nullptr) {
    owner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  return owner_;
}

bool Win32Clipboard::PutText(const std::string& text) {
  const std::wstring wide = GbkToWide(text);
  // A reader of CF_TEXT decodes it as GBK: four-byte sequences would reach it as two wrong
  // characters each, a '?' at least says one is missing. The text stops at a zero byte anyway.
  const std::string ansi936 = WideToGbkOnly(wide);
  const OpenedClipboard clipboard(Owner());
  if (!clipboard.open() || !EmptyClipboard()) return false;
  const bool ansi = PutBlock(CF_TEXT, ansi936.c_str(), ansi936.size() + 1);
  const bool unicode = PutBlock(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  return ansi && unicode;
}

}  // namespace zv::win32
