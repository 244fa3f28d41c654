// The fixed layout of the program's four windows as data: every control with its kind, place,
// text, font, pictures, timer interval and the action its event starts. Windows are built from
// these tables by the platform's window host; nothing is laid out at run time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv {

enum class ControlKind {
  EditBox,
  PictureBox,
  GroupBox,
  ShapeBox,
  Label,
  Button,
  RadioButton,
  ProgressBar,
  Slider,
  CommonDialog,
  Timer,
  GraphicButton,
  TransparentLabel,
  StatusBar,
  WaveRecorder,
  WaveformDisplay,
  HtmlViewer,
};

// What a control's event (or a window's created/closing event) starts.
enum class Action {
  None,
  Ignored,  // a control whose event the program deliberately leaves without effect
  // application shell
  StartUp,
  ShowPage,  // target: the page to show
  OpenLink,  // target: site path, or "short:N"
  OpenPiano,
  OpenVoiceChanger,
  BoxNotice,
  Heartbeat,
  // online services
  VersionCheckTick,
  OnlineCountTick,
  UpdateStart,
  UpdateTick,
  // sound board
  PlayBuiltInClip,  // number: the clip
  StopAll,
  ChooseSlotFile,  // number: the slot
  PlaySlot,        // number: the slot
  // quick-send
  SaveQuickSend,
  QuickSendOn,
  QuickSendOff,
  QuickSendHotkey,
  // piano
  PianoCreated,
  PianoClosing,  // releases the keys, then shows the main window again
  PianoOn,
  PianoOff,
  PianoHotkey,
  // voice changer
  VoiceCreated,
  VoiceStart,
  VoiceListen,
  VoiceSpeedMode,
  VoiceVoiceMode,
  VoiceTick,
  VoiceClosing,
};

struct FontSpec {
  std::string face;  // empty: the system's default GUI font
  int pixels = 0;    // character height
  bool bold = false;
};

struct ControlSpec {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string container;  // empty: the window's client area
  int left = 0, top = 0, width = 0, height = 0;
  std::string text;
  bool visible = true;
  FontSpec font;
  std::string picture;         // resource file name; a graphic button's normal face
  std::string pressedPicture;  // a graphic button's second face
  int interval = 0;            // timers
  int rangeMin = 0, rangeMax = 100, position = 0;
  uint32_t fill = 0;  // shape box colour, 0x00BBGGRR
  int panes = 0;      // status bar
  Action action = Action::None;
  std::string target;  // a page or a link
  int number = 0;      // a clip or a slot

  // Non-visual controls have no place on screen and no window of their own.
  bool HasWindow() const;
};

struct WindowSpec {
  std::string id;  // stable ASCII identity: "main", "update", "piano", "voice"
  std::string caption;
  int left = 50, top = 50, width = 0, height = 0;
  std::string icon;  // resource file name
  Action onCreated = Action::None;
  Action onClosing = Action::None;
  std::vector<ControlSpec> controls;

  const ControlSpec* Find(const std::string& name) const;
};

const WindowSpec& MainWindowSpec();
const WindowSpec& UpdateWindowSpec();
const WindowSpec& PianoWindowSpec();
const WindowSpec& VoiceWindowSpec();

}  // namespace zv
