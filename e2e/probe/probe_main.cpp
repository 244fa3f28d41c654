// The end-to-end tests' hands and eyes inside Wine: reads and drives the program's windows and
// answers in a UTF-8 JSON file (Wine programs' standard output through pipes hangs harnesses).
// Every wait is bounded; a missing window or control is an answer (exit code 1), not a crash.
#include <windows.h>
#include <commctrl.h>

#define PSAPI_VERSION 2
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e/probe/control_names.h"
#include "e2e/probe/json_writer.h"
#include "e2e/probe/text_fit.h"
#include "e2e/probe/window_walk.h"
#include "ui/catalogue.h"

namespace probe {
namespace {

constexpr DWORD kDefaultWaitMs = 3000;
constexpr UINT kSetTextTimeoutMs = 2000;
constexpr DWORD kDefaultSyncMs = 3000;
// Fine enough to time a start-up, coarse enough not to slow the program by asking the Wine
// server about windows all the time (a 2 ms poll doubled the measured start-up).
constexpr DWORD kWaitPollMs = 10;

using Options = std::map<std::wstring, std::wstring>;

std::wstring Option(const Options& options, const wchar_t* key, const std::wstring& fallback = {}) {
  auto it = options.find(key);
  return it == options.end() ? fallback : it->second;
}

DWORD WaitOption(const Options& options) {
  std::wstring value = Option(options, L"wait");
  return value.empty() ? kDefaultWaitMs : static_cast<DWORD>(std::wcstoul(value.c_str(), nullptr, 10));
}

// Every command fills one JSON object; main writes it to --out whatever happened.
struct Answer {
  JsonWriter json;
  bool ok = false;
  std::string error;
};

struct Target {
  HWND top = nullptr;
  const zv::WindowSpec* layout = nullptr;
};

bool FindTarget(const Options& options, Answer& answer, Target& target) {
  const std::wstring caption = Option(options, L"caption");
  // Two runs of the program (an old version waiting for the new one) share a caption.
  const DWORD pid = static_cast<DWORD>(std::wcstoul(Option(options, L"pid").c_str(), nullptr, 10));
  target.top = WaitForTopLevel(caption, WaitOption(options), false, pid);
  if (!target.top) {
    answer.error = "no top-level window with caption " + ToUtf8(caption);
    return false;
  }
  target.layout = LayoutForCaption(caption);
  return true;
}

HWND FindControl(const Target& target, const std::wstring& name, Answer& answer) {
  const int id = IdForName(target.layout, name);
  if (id < 0) {
    answer.error = "no control named " + ToUtf8(name) + " in this window's layout";
    return nullptr;
  }
  for (HWND child : Descendants(target.top)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  answer.error = "control " + ToUtf8(name) + " has no window";
  return nullptr;
}

std::string NameOf(const Target& target, HWND window) {
  return ToUtf8(NameForId(target.layout, GetDlgCtrlID(window)));
}

void WriteControl(const Target& target, HWND child, bool answers, JsonWriter& json) {
  const std::wstring cls = ClassOf(child);
  const RECT rect = RectInParent(child);
  HWND parent = GetParent(child);
  json.BeginObject();
  json.Field("id", GetDlgCtrlID(child));
  json.Field("name", NameOf(target, child));
  json.Field("class", ToUtf8(cls));
  json.Field("text", ToUtf8(TextOf(child, answers)));
  json.Rect("rect", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  // Where the window table puts it, in layout units (pixels at 96 DPI).
  if (const zv::ControlSpec* row = SpecForId(target.layout, GetDlgCtrlID(child))) {
    json.Rect("layout", row->left, row->top, row->width, row->height);
  }
  json.FieldBool("own_visible", (GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0);
  json.FieldBool("visible", IsWindowVisible(child) != FALSE);
  json.FieldBool("enabled", IsWindowEnabled(child) != FALSE);
  json.Field("parent", parent == target.top ? std::string() : NameOf(target, parent));
  json.Field("parent_id", parent == target.top ? 0 : GetDlgCtrlID(parent));
  DWORD_PTR value = 0;
  if (answers && (cls == PROGRESS_CLASSW || cls == TRACKBAR_CLASSW)) {
    const UINT message = cls == PROGRESS_CLASSW ? PBM_GETPOS : TBM_GETPOS;
    if (SendMessageTimeoutW(child, message, 0, 0, SMTO_ABORTIFHUNG, 500, &value))
      json.Field("pos", static_cast<long long>(value));
  }
  const LONG_PTR buttonType = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
  const bool checkable = buttonType == BS_RADIOBUTTON || buttonType == BS_AUTORADIOBUTTON ||
                         buttonType == BS_CHECKBOX || buttonType == BS_AUTOCHECKBOX;
  if (answers && cls == L"Button" && checkable &&
      SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 500, &value))
    json.FieldBool("checked", value == BST_CHECKED);
  json.EndObject();
}

void WriteTopLevel(HWND top, bool answers, JsonWriter& json) {
  RECT rect{};
  GetWindowRect(top, &rect);
  RECT client{};
  GetClientRect(top, &client);
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  json.Field("caption", ToUtf8(TextOf(top, answers)));
  json.Field("class", ToUtf8(ClassOf(top)));
  json.Field("pid", pid);
  json.Rect("rect", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  json.Rect("client", origin.x, origin.y, client.right, client.bottom);
  json.FieldBool("visible", IsWindowVisible(top) != FALSE);
  json.FieldBool("answers", answers);
}

bool Dump(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  const bool answers = Answers(target.top);
  JsonWriter& json = answer.json;
  json.Field("layout", target.layout ? target.layout->id : std::string());
  if (target.layout) {
    const zv::WindowSpec& window = *target.layout;
    json.Rect("layout_rect", window.left, window.top, window.width, window.height);
  }
  WriteTopLevel(target.top, answers, json);
  json.Key("controls");
  json.BeginArray();
  for (HWND child : Descendants(target.top)) WriteControl(target, child, answers, json);
  json.EndArray();
  return true;
}

// What the texts of the window's buttons and labels need beside the room they have.
bool Texts(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  WriteTextNeeds(target.top, target.layout, answer.json);
  return true;
}

// A click is sent and waited for (up to --sync ms, default 3000) so the test knows its handler
// has run; one that opens a modal window or a message box does not return in time and is
// reported as not handled yet. --post only queues it.
DWORD SyncOption(const Options& options) {
  std::wstring value = Option(options, L"sync");
  return value.empty() ? kDefaultSyncMs : static_cast<DWORD>(std::wcstoul(value.c_str(), nullptr, 10));
}

bool Deliver(HWND control, UINT message, WPARAM wParam, LPARAM lParam, const Options& options,
             Answer& answer) {
  if (options.count(L"post")) {
    answer.json.FieldBool("handled", false);
    return PostMessageW(control, message, wParam, lParam);
  }
  DWORD_PTR ignored = 0;
  const bool handled = SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                           SyncOption(options), &ignored) != 0;
  answer.json.FieldBool("handled", handled);
  // A timed-out send stays queued and still runs; only a window that is gone is a failure.
  return handled || IsWindow(control);
}

bool Click(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  HWND control = FindControl(target, Option(options, L"name"), answer);
  return control && Deliver(control, BM_CLICK, 0, 0, options, answer);
}

// A burst of clicks from one probe, as quick as a user's, without a process started for each:
// --names A,B,... are clicked in turn, each handled before the next; an entry "+MS" pauses that
// long instead. "at_us" holds when each click had been handled, in microseconds from the first.
bool Clicks(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  std::vector<std::pair<HWND, DWORD>> steps;  // a control to click, or none and a pause
  const std::wstring names = Option(options, L"names");
  for (size_t at = 0; at < names.size();) {
    const size_t end = std::min(names.find(L',', at), names.size());
    const std::wstring entry = names.substr(at, end - at);
    at = end + 1;
    if (!entry.empty() && entry[0] == L'+') {
      steps.emplace_back(nullptr, static_cast<DWORD>(std::wcstoul(entry.c_str() + 1, nullptr, 10)));
      continue;
    }
    HWND control = FindControl(target, entry, answer);
    if (!control) return false;
    steps.emplace_back(control, 0);
  }
  LARGE_INTEGER frequency{}, first{}, now{};
  QueryPerformanceFrequency(&frequency);
  bool handled = true, started = false;
  JsonWriter& json = answer.json;
  json.Key("at_us");
  json.BeginArray();
  for (const auto& [control, pause] : steps) {
    if (!control) {
      Sleep(pause);
      continue;
    }
    DWORD_PTR ignored = 0;
    const bool sent = SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG,
                                          SyncOption(options), &ignored) != 0;
    handled = handled && sent;
    QueryPerformanceCounter(&now);
    if (!started) first = now, started = true;
    json.Number((now.QuadPart - first.QuadPart) * 1000000 / frequency.QuadPart);
  }
  json.EndArray();
  json.FieldBool("handled", handled);
  return true;
}

// The press is what the program acts on; the release is only queued behind it.
bool Press(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  HWND control = FindControl(target, Option(options, L"name"), answer);
  if (!control) return false;
  RECT client{};
  GetClientRect(control, &client);
  const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  return Deliver(control, WM_LBUTTONDOWN, MK_LBUTTON, centre, options, answer) &&
         PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

bool Close(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  return PostMessageW(target.top, WM_CLOSE, 0, 0);
}

bool SetText(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  HWND control = FindControl(target, Option(options, L"name"), answer);
  if (!control) return false;
  const std::wstring text = Option(options, L"text");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, kSetTextTimeoutMs, &result)) {
    answer.error = "the program did not take the text in time";
    return false;
  }
  return true;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM list) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// A message box keeps an icon static whether or not it has an icon; only one with an icon
// holds an icon handle.
bool ShowsIcon(HWND child) {
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (!IsWindowVisible(child) || _wcsicmp(ClassOf(child).c_str(), L"Static") != 0 ||
      (style & SS_TYPEMASK) != SS_ICON) {
    return false;
  }
  DWORD_PTR icon = 0;
  return SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) && icon;
}

bool Boxes(const Options&, Answer& answer) {
  std::vector<HWND> tops;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&tops));
  JsonWriter& json = answer.json;
  json.Key("windows");
  json.BeginArray();
  for (HWND top : tops) {
    const bool answers = Answers(top);
    json.BeginObject();
    WriteTopLevel(top, answers, json);
    json.Key("texts");
    json.BeginArray();
    for (HWND child : Descendants(top)) {
      json.BeginObject();
      json.Field("id", GetDlgCtrlID(child));
      json.Field("class", ToUtf8(ClassOf(child)));
      json.Field("text", ToUtf8(TextOf(child, answers)));
      json.FieldBool("icon", ShowsIcon(child));
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  return true;
}

// A message box's OK is IDOK; a box without one still closes through IDCANCEL.
bool Dismiss(const Options& options, Answer& answer) {
  const std::wstring caption = Option(options, L"caption");
  const ULONGLONG deadline = GetTickCount64() + WaitOption(options);
  HWND box = nullptr;
  while (!(box = FindWindowW(L"#32770", caption.c_str())) && GetTickCount64() < deadline) Sleep(10);
  if (!box) {
    answer.error = "no message box titled " + ToUtf8(caption);
    return false;
  }
  for (int id : {IDOK, IDCANCEL}) {
    if (HWND button = GetDlgItem(box, id)) return PostMessageW(button, BM_CLICK, 0, 0);
  }
  return PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// Waits for the window to stand (visible) or, with --gone, to be gone or hidden, and reports
// when that was seen so start-up times can be measured from outside.
bool Wait(const Options& options, Answer& answer) {
  const std::wstring caption = Option(options, L"caption");
  const bool gone = options.count(L"gone") != 0;
  const ULONGLONG deadline = GetTickCount64() + WaitOption(options);
  for (;;) {
    HWND top = FindWindowW(nullptr, caption.c_str());
    const bool standing = top && IsWindowVisible(top);
    if (standing != gone) {
      answer.json.Field("seen_at_ms", UnixMillis());
      return true;
    }
    if (GetTickCount64() >= deadline) {
      answer.error = gone ? "the window is still there" : "the window did not appear";
      return false;
    }
    Sleep(kWaitPollMs);
  }
}

// The system's handle table as NtQuerySystemInformation(SystemHandleInformation) returns it;
// Wine answers it from the server's own table, while GetProcessHandleCount reports 0 there.
// https://learn.microsoft.com/en-us/windows/win32/api/winternl/nf-winternl-ntquerysysteminformation
struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
constexpr int kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

long long HandleCount(DWORD pid) {
  // Through void(*)(): GetProcAddress's FARPROC says nothing of the real signature.
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::string buffer(1 << 16, '\0');
  for (int attempt = 0; attempt < 12; ++attempt) {
    ULONG needed = 0;
    const LONG status = query(kSystemHandleInformation, buffer.data(),
                              static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.assign(std::max<size_t>(buffer.size() * 2, needed + 4096), '\0');
      continue;
    }
    if (status != 0) return -1;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    long long count = 0;
    for (ULONG i = 0; i < table->count; ++i) count += table->entries[i].ownerPid == pid;
    return count;
  }
  return -1;
}

// Threads the system lists for the process.
long long ThreadCount(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  long long count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == pid;
  }
  CloseHandle(snapshot);
  return count;
}

// Memory, handles and threads of the process that owns the window, as the system accounts
// them.
bool Memory(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(target.top, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) {
    answer.error = "cannot open the process";
    return false;
  }
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  const bool read = GetProcessMemoryInfo(
      process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  CloseHandle(process);
  answer.json.Field("handles", HandleCount(pid));
  answer.json.Field("threads", ThreadCount(pid));
  if (!read) {
    answer.error = "GetProcessMemoryInfo failed";
    return false;
  }
  JsonWriter& json = answer.json;
  json.Field("pid", pid);
  json.Field("working_set", static_cast<long long>(counters.WorkingSetSize));
  json.Field("peak_working_set", static_cast<long long>(counters.PeakWorkingSetSize));
  json.Field("private_bytes", static_cast<long long>(counters.PrivateUsage));
  json.Field("pagefile", static_cast<long long>(counters.PagefileUsage));
  return true;
}

// Whether the system takes the window for hung ("Not Responding": its thread has not asked for
// messages for a while), and how many of its windows wait for a repaint (an update region
// their program has not painted yet).
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-ishungappwindow
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-getupdaterect
bool Hung(const Options& options, Answer& answer) {
  Target target;
  if (!FindTarget(options, answer, target)) return false;
  answer.json.FieldBool("hung", IsHungAppWindow(target.top) != FALSE);
  long long unpainted = GetUpdateRect(target.top, nullptr, FALSE) ? 1 : 0;
  for (HWND child : Descendants(target.top))
    unpainted += GetUpdateRect(child, nullptr, FALSE) ? 1 : 0;
  answer.json.Field("unpainted", unpainted);
  return true;
}

// Chooses --path in the visible Open dialog (--caption, default "Open") the way a user would
// type it: into the file name box (control 1148), then Open. Paths with characters a keyboard
// tool cannot type (an emoji) get there whole.
bool ChooseFile(const Options& options, Answer& answer) {
  const std::wstring caption = Option(options, L"caption", L"Open");
  const ULONGLONG deadline = GetTickCount64() + WaitOption(options);
  HWND name = nullptr;
  HWND open = nullptr;
  // The dialog's window exists a moment before its controls and before it shows.
  for (;;) {
    HWND dialog = FindWindowW(L"#32770", caption.c_str());
    name = dialog ? GetDlgItem(dialog, 1148) : nullptr;
    open = dialog ? GetDlgItem(dialog, IDOK) : nullptr;
    if ((name && open && IsWindowVisible(dialog)) || GetTickCount64() >= deadline) break;
    Sleep(10);
  }
  if (!name || !open) {
    answer.error = "no Open dialog titled " + ToUtf8(caption);
    return false;
  }
  const std::wstring path = Option(options, L"path");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                           SMTO_ABORTIFHUNG, kSetTextTimeoutMs, &result)) {
    answer.error = "the dialog did not take the path";
    return false;
  }
  return PostMessageW(open, BM_CLICK, 0, 0);
}

// Windows are read in device pixels whatever the scale of their display: a reader unaware of
// scales would be handed every place and size scaled back to 96 DPI.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setprocessdpiawarenesscontext
void SeeDevicePixels() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (set) set(perMonitorV2);
}

using Command = bool (*)(const Options&, Answer&);

const std::map<std::wstring, Command>& Commands() {
  static const std::map<std::wstring, Command> commands = {
      {L"dump", Dump},   {L"click", Click},     {L"clicks", Clicks}, {L"press", Press},
      {L"close", Close}, {L"settext", SetText}, {L"boxes", Boxes},   {L"dismiss", Dismiss},
      {L"wait", Wait},   {L"mem", Memory},      {L"hung", Hung},     {L"choosefile", ChooseFile},
      {L"texts", Texts},
  };
  return commands;
}

}  // namespace

bool JsonWriter::Save(const std::wstring& path) const {
  const std::wstring partial = path + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete = WriteFile(file, out_.data(), static_cast<DWORD>(out_.size()), &written,
                                  nullptr) && written == out_.size();
  CloseHandle(file);
  return complete && MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace probe

int wmain(int argc, wchar_t** argv) {
  using namespace probe;
  if (argc < 2 || !Commands().count(argv[1])) {
    std::fputws(
        L"usage: probe dump|click|clicks|press|close|settext|boxes|dismiss|wait|mem|hung|"
        L"choosefile|texts [--caption C] [--pid P] [--name N] [--names N,+MS,...] [--text T] "
        L"[--path P] [--out FILE] [--wait MS] [--sync MS] [--post] [--gone]\n",
        stderr);
    return 2;
  }
  Options options;
  for (int i = 2; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg.rfind(L"--", 0) != 0) continue;
    const bool hasValue = i + 1 < argc && std::wstring(argv[i + 1]).rfind(L"--", 0) != 0;
    options[arg.substr(2)] = hasValue ? argv[++i] : L"";
  }

  SeeDevicePixels();
  Answer answer;
  answer.json.BeginObject();
  answer.json.Field("command", ToUtf8(argv[1]));
  bool ok = false;
  try {
    ok = Commands().at(argv[1])(options, answer);
  } catch (...) {
    answer.error = "unexpected failure inside the probe";
  }
  if (!ok && answer.error.empty()) answer.error = "the system call failed";
  answer.json.FieldBool("ok", ok);
  if (!ok) answer.json.Field("error", answer.error);
  answer.json.EndObject();

  const std::wstring out = Option(options, L"out");
  if (!out.empty() && !answer.json.Save(out)) return 1;
  return ok ? 0 : 1;
}
