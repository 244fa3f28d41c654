// chatbox.exe LOGFILE [HOLDKEYS]: a borderless window at 700,100 holding one edit box, like a
// chat room's input line. With HOLDKEYS (virtual-key codes, hex, separated by commas) it first
// takes those plain keys as its own hotkeys, as another program on the user's machine might.
// Each line of LOGFILE (UTF-8) is one thing it saw, written as it happens:
//   held:XX / notheld:XX   whether it could take each of HOLDKEYS
//   hotkey:XX        its own hotkey was pressed
//   ready            the window stands
//   focus            the edit box got the keyboard focus
//   click            the left button went down on the edit box (which then has the focus); a
//                    second click soon after the first arrives as a double-click and counts too
//   down:XX          a key went down in the edit box (virtual-key code, hex)
//   scan:XX:YY       the same key's virtual-key code and the scan code it came with
//   paste            the edit box pasted from the clipboard
//   send:TEXT        Enter was pressed; TEXT is what the box held, and the box is emptied
// Escape empties the box without sending, so a test can start the next line clean.
// A test reads the file while the program runs, so every line is flushed at once.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int kLeft = 700, kTop = 100, kWidth = 400, kHeight = 40;
constexpr UINT_PTR kSubclassId = 1;

HANDLE g_log = INVALID_HANDLE_VALUE;

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), needed,
                      nullptr, nullptr);
  return out;
}

void Log(const std::string& line) {
  const std::string bytes = line + "\n";
  DWORD written = 0;
  WriteFile(g_log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  FlushFileBuffers(g_log);
}

std::wstring TextOf(HWND edit) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      char line[24];
      std::snprintf(line, sizeof line, "down:%02X", static_cast<unsigned>(wParam));
      Log(line);
      // Bits 16-23 of lParam: the scan code.
      // https://learn.microsoft.com/windows/win32/inputdev/wm-keydown
      std::snprintf(line, sizeof line, "scan:%02X:%02X", static_cast<unsigned>(wParam),
                    static_cast<unsigned>((lParam >> 16) & 0xFF));
      Log(line);
      break;
    }
    case WM_CHAR:
      if (wParam == L'\r') {
        Log("send:" + Utf8(TextOf(edit)));
        SetWindowTextW(edit, L"");
        return 0;  // a single-line edit would only beep
      }
      if (wParam == 0x1B) {
        SetWindowTextW(edit, L"");
        return 0;
      }
      break;
    case WM_PASTE:
      Log("paste");
      break;
    case WM_SETFOCUS:
      Log("focus");
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
      Log("click");
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, EditProc, kSubclassId);
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) {
    char line[16];
    std::snprintf(line, sizeof line, "hotkey:%02X", static_cast<unsigned>(HIWORD(lParam)));
    Log(line);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) return 2;
  g_log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_log == INVALID_HANDLE_VALUE) return 3;

  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = instance;
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  frameClass.lpszClassName = L"ZanvoroChatBox";
  RegisterClassW(&frameClass);
  HWND frame = CreateWindowExW(0, L"ZanvoroChatBox", L"ChatBox", WS_POPUP | WS_BORDER, kLeft, kTop,
                               kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0,
                              kWidth - 2, kHeight - 2, frame, nullptr, instance, nullptr);
  if (frame == nullptr || edit == nullptr) return 4;
  SetWindowSubclass(edit, EditProc, kSubclassId, 0);
  if (argc >= 3) {
    int id = 1;
    for (const wchar_t* at = argv[2]; *at != L'\0';) {
      wchar_t* end = nullptr;
      const UINT key = static_cast<UINT>(std::wcstoul(at, &end, 16));
      if (end == at) break;
      char line[16];
      std::snprintf(line, sizeof line, "%s:%02X",
                    RegisterHotKey(frame, id++, 0, key) ? "held" : "notheld", key);
      Log(line);
      at = *end == L',' ? end + 1 : end;
    }
  }
  ShowWindow(frame, SW_SHOW);
  UpdateWindow(frame);
  Log("ready");

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CloseHandle(g_log);
  return 0;
}
