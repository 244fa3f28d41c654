// Event routing of the shell: every event names an action in the window catalogue, and each
// action is handled by the feature that owns it.
#include "app/application.h"

#include "app/box_notice.h"
#include "app/links.h"
#include "app/start_up.h"
#include "online/online_count.h"
#include "online/update_signature.h"
#include "online/version_check.h"
#include "quicksend/quick_send_texts.h"
#include "sound/clip_catalogue.h"
#include "sound/custom_slots.h"

namespace zv {
namespace {

constexpr const char* kPages[] = {"图片框4", "图片框3", "图片框1"};

}  // namespace

Application::Application(Platform& platform, std::optional<EcPublicKey> updateKey,
                         const DataPaths& paths)
    : platform_(platform),
      paths_(paths),
      sound_(platform.audio, platform.media, platform.workers),
      forumPage_(platform.http, platform.text),
      update_(platform, [this] { EndProgram(); }, updateKey),
      keySound_(sound_, platform.resources),
      hotkeys_(platform.hotkeys, *this),
      quickSend_(hotkeys_, platform.keyboard, platform.clipboard),
      piano_(hotkeys_, quickSend_, keySound_),
      voice_({platform.ui, platform.files, platform.waveIn, platform.workers, platform.dispatcher,
              voicePlayer_, paths}) {
  platform_.ui.SetEventSink(this);
  // Every sound ends with the program, and no worker is left running past it.
  cleanUp_.Register([this] { sound_.StopAllAndWait(); });
  cleanUp_.Register([this] { update_.Stop(); });
  cleanUp_.Register([this] { forumPage_.Stop(); });
}

Application::~Application() {
  // Workers must not outlive the objects they report to, however the program ended.
  forumPage_.Stop();
  update_.Stop();
  platform_.ui.SetEventSink(nullptr);
}

void Application::Start() { main_ = platform_.ui.Load(MainWindowSpec(), Modality::Modeless); }

int Application::Run() {
  Start();
  platform_.ui.RunLoop(main_);
  cleanUp_.Run();
  return 0;
}

void Application::OnEvent(const UiEvent& event) {
  if (event.control == nullptr) {
    // The main window's created event arrives while it is still being loaded.
    if (event.windowSpec == &MainWindowSpec() && event.kind == EventKind::Created) {
      main_ = event.window;
    }
    Perform(event.kind == EventKind::Created ? event.windowSpec->onCreated
                                             : event.windowSpec->onClosing,
            event);
    return;
  }
  Perform(event.control->action, event);
}

void Application::Perform(Action action, const UiEvent& event) {
  const Form main = Main();
  const Form window(platform_.ui, event.window);
  // One line an action where one call handles it, so the routing reads as a table.
  // clang-format off
  switch (action) {
    case Action::None:
    case Action::Ignored: break;
    case Action::StartUp:
      forumPage_.Load(main.Text("超文本浏览框1"));
      RunStartUpSequence(main, platform_.files, paths_);
      break;
    case Action::Heartbeat: HeartbeatTick(main); break;
    case Action::VersionCheckTick:
      if (VersionCheckTick(main)) CheckVersion();
      break;
    case Action::OnlineCountTick: OnlineCountTick(main, forumPage_); break;
    case Action::UpdateStart:
      updateWindow_ = event.window;
      update_.Begin(window, main);
      break;
    case Action::UpdateTick: update_.Tick(window, main); break;
    case Action::ShowPage: ShowPage(event.control->target); break;
    case Action::OpenLink: platform_.shell.OpenUrl(LinkUrl(event.control->target)); break;
    case Action::OpenPiano: OpenSecondary(PianoWindowSpec()); break;
    case Action::OpenVoiceChanger: OpenSecondary(VoiceWindowSpec()); break;
    case Action::SaveQuickSend: SaveQuickSendTexts(main, platform_.files, paths_); break;
    case Action::QuickSendOn: quickSend_.Enable(main); break;
    case Action::QuickSendOff: quickSend_.Disable(main); break;
    case Action::QuickSendHotkey: quickSend_.OnHotkey(main, event.arg); break;
    case Action::PianoCreated: piano_.Created(main); break;
    case Action::PianoOn: piano_.Enable(window); break;
    case Action::PianoOff: piano_.Disable(window); break;
    case Action::PianoHotkey: piano_.OnHotkey(event.arg); break;
    case Action::PianoClosing:
      CloseSecondary(event.window, [&] { piano_.Closing(window); });
      break;
    case Action::BoxNotice: ShowBoxNotice(platform_.ui, platform_.shell); break;
    case Action::PlayBuiltInClip:
      PlayBoardClip(sound_, platform_.resources, event.control->number);
      break;
    case Action::StopAll: sound_.StopAll(); break;
    case Action::ChooseSlotFile:
      ChooseSlotFile(main, platform_.fileDialog, platform_.files, paths_, event.control->number);
      break;
    case Action::PlaySlot: PlaySlot(main, platform_.media, event.control->number); break;
    case Action::VoiceCreated: voice_.Created(window); break;
    case Action::VoiceStart: voice_.Toggle(window); break;
    case Action::VoiceTick: voice_.LevelTick(window); break;
    case Action::VoiceSpeedMode: voice_.SpeedModeClicked(window); break;
    case Action::VoiceVoiceMode: voice_.VoiceModeClicked(window); break;
    case Action::VoiceListen: voice_.Listen(); break;
    case Action::VoiceClosing:
      voice_.Closing(window);
      CloseSecondary(event.window);
      break;
  }
  // clang-format on
}

void Application::CheckVersion() {
  const bool runOn = RunVersionCheck(Main(), platform_.http, [this] {
    platform_.ui.Load(UpdateWindowSpec(), Modality::Modal);
  });
  if (!runOn) EndProgram();
}

void Application::EndProgram() {
  if (platform_.ui.Exists(updateWindow_)) platform_.ui.Destroy(updateWindow_);
  if (platform_.ui.Exists(main_)) platform_.ui.Destroy(main_);
}

void Application::ShowPage(const std::string& page) {
  const Form main = Main();
  for (const char* candidate : kPages) main.Show(candidate, candidate == page);
}

void Application::OpenSecondary(const WindowSpec& layout) {
  platform_.ui.ShowWindow(main_, false);
  platform_.ui.Load(layout, Modality::Modal);
}

void Application::CloseSecondary(WindowId secondary, const std::function<void()>& letGo) {
  platform_.ui.ShowWindow(main_, true);
  if (letGo) letGo();
  platform_.ui.Destroy(secondary);
}

}  // namespace zv
