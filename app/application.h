// The application shell: owns the main window, routes every control event to the feature that
// handles it, opens the secondary windows and runs the exit clean-up.
#pragma once

#include <functional>

#include "app/exit_clean_up.h"
#include "base/data_paths.h"
#include "online/page_viewer.h"
#include "online/self_update.h"
#include "piano/clip_key_sound.h"
#include "piano/piano.h"
#include "platform/platform.h"
#include "quicksend/hotkey_binder.h"
#include "quicksend/quick_send_keys.h"
#include "sound/sound_board.h"
#include "ui/catalogue.h"
#include "ui/form.h"
#include "voice/voice_changer.h"

namespace zv {

class Application : public IEventSink {
 public:
  // `updateKey`: the key a downloaded update must be signed with; none: updates are not checked.
  // `paths`: the data folder chosen for this machine.
  Application(Platform& platform, std::optional<EcPublicKey> updateKey,
              const DataPaths& paths = DataPaths());
  ~Application() override;

  // Loads the main window; its created event runs the start-up sequence.
  void Start();
  // Start, the message loop until the main window closes, then the exit clean-up.
  int Run();

  Form Main() const { return Form(platform_.ui, main_); }
  ExitCleanUp& CleanUp() { return cleanUp_; }
  PageViewer& ForumPage() { return forumPage_; }
  SoundBoard& Sound() { return sound_; }
  VoiceChanger& Voice() { return voice_; }

  void OnEvent(const UiEvent& event) override;

  // Ends the program the normal way: every window goes, the message loop ends, the exit
  // clean-up runs and the exit code is 0.
  void EndProgram();

 private:
  void Perform(Action action, const UiEvent& event);
  void ShowPage(const std::string& page);
  void OpenSecondary(const WindowSpec& layout);
  // The main window comes back before the secondary window goes; `letGo` runs in between, so
  // a feature releases what its window held while the window still exists.
  void CloseSecondary(WindowId secondary, const std::function<void()>& letGo = nullptr);
  void CheckVersion();

  Platform& platform_;
  DataPaths paths_;
  WindowId main_ = kNoWindow;
  SoundBoard sound_;
  // The voice changer plays its results like every other clip.
  struct BoardPlayer final : IClipPlayer {
    explicit BoardPlayer(SoundBoard& board) : board(board) {}
    bool PlayOnce(std::shared_ptr<const std::string> wave) override {
      return board.PlayClip(ClipBytes::Shared(std::move(wave)), false);
    }
    SoundBoard& board;
  } voicePlayer_{sound_};
  ExitCleanUp cleanUp_;
  PageViewer forumPage_;
  SelfUpdate update_;
  WindowId updateWindow_ = kNoWindow;
  ClipKeySound keySound_;
  HotkeyBinder hotkeys_;
  QuickSendKeys quickSend_;
  Piano piano_;
  VoiceChanger voice_;
};

}  // namespace zv
