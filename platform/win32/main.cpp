// The exe's entry point: sets up the Windows services the window host relies on, hands the
// real platform to the program and returns its exit code. Reads no arguments.
#include <windows.h>
#include <objbase.h>
// <windows.h> maps CreateDirectory to CreateDirectoryA, which would rename the file-system
// interface's method in this file only.
#undef CreateDirectory

#include "app/program.h"
#include "platform/platform.h"
#include "platform/win32/gdiplus_session.h"
#include "platform/win32/cng_signature_checker.h"
#include "platform/win32/data_folder_probe.h"
#include "platform/win32/gui_dispatcher.h"
#include "platform/win32/process_launcher_win32.h"
#include "platform/win32/system_worker_threads.h"
#include "platform/win32/ui_host_win32.h"
#include "platform/win32/wave_input_win32.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_file_dialog.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_hotkeys.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_media_player.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "platform/win32/wininet_reader.h"
#include "platform/win32/wininet_transfer.h"
#include "platform/win32/xaudio2_output.h"

namespace {

// The GUI thread is a single-threaded COM apartment, as the embedded browser and the shell's
// handlers expect.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }

 private:
  bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // An empty card reader or DVD drive must never ask the host for a disk, whoever looks at it.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ComApartment com;
  zv::win32::GdiplusSession gdiplus;
  try {
    zv::win32::Win32UiHost host(instance);
    zv::win32::Win32Shell shell;
    zv::win32::Win32Files files;
    zv::win32::GuiDispatcher dispatcher(instance);
    zv::win32::WinInetReader http;
    zv::win32::WinInetTransfer transfer;
    zv::win32::Win32ProcessLauncher processes(dispatcher);
    zv::win32::ModuleResources resources(instance);
    zv::win32::XAudio2Output audio;
    zv::win32::MciMediaPlayer media;
    zv::win32::OpenFileDialog fileDialog;
    zv::win32::Win32Hotkeys hotkeys([&host](zv::WindowId window) { return host.Handle(window); });
    zv::win32::Win32Keyboard keyboard;
    zv::win32::Win32Clipboard clipboard;
    zv::win32::Win32WaveInput waveIn;
    zv::win32::SystemWorkerThreads workers;
    zv::win32::Win32TextCodec text;
    zv::win32::CngSignatureChecker signatures;
    zv::Platform platform{host,      shell,     files,  dispatcher, http,       transfer,
                          processes, resources, audio,  media,      fileDialog, hotkeys,
                          keyboard,  clipboard, waveIn, workers,    text,       signatures};
    const zv::DataPaths paths(zv::ChooseDataFolder(zv::win32::ProbeDataFolder()));
    return zv::RunProgram(platform, paths);
  } catch (...) {
    return 1;
  }
}
