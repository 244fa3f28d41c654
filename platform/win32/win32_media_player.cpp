// MCI command strings on the GUI thread; "play" without "wait" returns at once and the file
// plays on the system's own threads.
#include "platform/win32/win32_media_player.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "platform/win32/code_page.h"

namespace zv::win32 {
namespace {

constexpr const wchar_t* kAlias = L"zanvoro_media";

bool Send(const std::wstring& command) {
  return mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0;
}

}  // namespace

void MciMediaPlayer::Stop() {
  if (!open_) return;
  Send(std::wstring(L"close ") + kAlias);
  open_ = false;
}

bool MciMediaPlayer::Play(const std::string& path) {
  Stop();
  // A quote would end the file name inside the command string early.
  if (path.empty() || path.find('"') != std::string::npos || path.find('\0') != std::string::npos)
    return false;
  const std::wstring file = L"\"" + GbkToWide(path) + L"\"";
  // The device follows the file's extension; files it does not recognise get a second chance
  // through the media-stream device, which reads most compressed formats.
  open_ = Send(L"open " + file + L" alias " + kAlias) ||
          Send(L"open " + file + L" type mpegvideo alias " + kAlias);
  if (!open_) return false;
  if (!Send(std::wstring(L"play ") + kAlias)) {
    Stop();
    return false;
  }
  return true;
}

}  // namespace zv::win32
