// Event routing of the shell: every event names an action in the window catalogue, and each
// action is handled by the feature that owns it.
#include "app/application.h"

#include <cstdlib>

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

Application::Application(Platform& platform, std::optional<EcPublicKey> updateKey)
    : platform_(platform),
      sound_(platform.audio, platform.media),
      forumPage_(platform.http, platform.text),
      update_(platform, [this] { EndProgram(); }, updateKey),
      keySound_(sound_, platform.resources),
      hotkeys_(platform.hotkeys, *this),
      quickSend_(hotkeys_, platform.keyboard, platform.clipboard),
      piano_(hotkeys_, quickSend_, keySound_),
      voice_({platform.ui, platform.files, platform.waveIn, platform.workers, platform.dispatcher,
              voicePlayer_}) {
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
  switch (action) {
    case Action::StartUp:
      forumPage_.Load(main.Text("超文本浏览框1"));
      RunStartUpSequence(main, platform_.files);
      break;
    case Action::Heartbeat:
      HeartbeatTick(main);
      break;
    case Action::VersionCheckTick:
      if (VersionCheckTick(main)) CheckVersion();
      break;
    case Action::OnlineCountTick:
      OnlineCountTick(main, forumPage_);
      break;
    case Action::UpdateStart:
      updateWindow_ = event.window;
      update_.Begin(Form(platform_.ui, event.window), main);
      break;
    case Action::UpdateTick:
      update_.Tick(Form(platform_.ui, event.window), main);
      break;
    case Action::ShowPage:
      ShowPage(event.control->arg);
      break;
    case Action::OpenLink:
      platform_.shell.OpenUrl(LinkUrl(event.control->arg));
      break;
    case Action::OpenPiano:
      OpenSecondary(PianoWindowSpec());
      break;
    case Action::OpenVoiceChanger:
      OpenSecondary(VoiceWindowSpec());
      break;
    case Action::ShowMainAgain:
      ShowMainAgain(event.window);
      break;
    case Action::SaveQuickSend:
      SaveQuickSendTexts(main, platform_.files);
      break;
    case Action::QuickSendOn:
      quickSend_.Enable(main);
      break;
    case Action::QuickSendOff:
      quickSend_.Disable(main);
      break;
    case Action::QuickSendHotkey:
      quickSend_.OnHotkey(main, event.arg);
      break;
    case Action::PianoCreated:
      piano_.Created(main);
      break;
    case Action::PianoOn:
      piano_.Enable(Form(platform_.ui, event.window));
      break;
    case Action::PianoOff:
      piano_.Disable(Form(platform_.ui, event.window));
      break;
    case Action::PianoHotkey:
      piano_.OnHotkey(event.arg);
      break;
    case Action::PianoClosing:
      platform_.ui.ShowWindow(main_, true);
      piano_.Closing(Form(platform_.ui, event.window));
      platform_.ui.Destroy(event.window);
      break;
    case Action::BoxNotice:
      ShowBoxNotice();
      break;
    case Action::PlayBuiltInClip:
      PlayBoardClip(sound_, platform_.resources, std::atoi(event.control->arg.c_str()));
      break;
    case Action::StopAll:
      sound_.StopAll();
      break;
    case Action::ChooseSlotFile:
      ChooseSlotFile(main, platform_.fileDialog, platform_.files,
                     std::atoi(event.control->arg.c_str()));
      break;
    case Action::PlaySlot:
      PlaySlot(main, platform_.media, std::atoi(event.control->arg.c_str()));
      break;
    case Action::VoiceCreated:
      voice_.Created(window);
      break;
    case Action::VoiceStart:
      voice_.Toggle(window);
      break;
    case Action::VoiceTick:
      voice_.LevelTick(window);
      break;
    case Action::VoiceSpeedMode:
      voice_.SpeedModeClicked(window);
      break;
    case Action::VoiceVoiceMode:
      voice_.VoiceModeClicked(window);
      break;
    case Action::VoiceListen:
      voice_.Listen();
      break;
    case Action::VoiceClosing:
      voice_.Closing(window);
      ShowMainAgain(event.window);
      break;
    default:
      // Actions of features that are not part of this build do nothing.
      break;
  }
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

void Application::ShowMainAgain(WindowId secondary) {
  platform_.ui.ShowWindow(main_, true);
  platform_.ui.Destroy(secondary);
}

void Application::ShowBoxNotice() {
  platform_.ui.InfoBox("温馨提示：",
                       "BOX打碟将在下个版本正式发布，目前作者还在了解BOX，如果你懂可以在论坛发帖联系我！",
                       BoxIcon::None);
  platform_.shell.OpenUrl(LinkUrl("forum.php?mod=forumdisplay&fid=49"));
}

}  // namespace zv
