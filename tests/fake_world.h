// Every test gets the whole fake platform with one call; a test changes only what it needs
// (a file on drive D:, a missing drive, a site answer) before starting the program.
#pragma once

#include <string>

#include "app/application.h"
#include "base/build_settings.h"
#include "online/update_signature.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_dispatcher.h"
#include "platform/fake/fake_file_dialog.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_hotkeys.h"
#include "platform/fake/fake_http_reader.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_media_player.h"
#include "platform/fake/fake_process_launcher.h"
#include "platform/fake/fake_resources.h"
#include "platform/fake/fake_signature_checker.h"
#include "platform/fake/fake_text_codec.h"
#include "platform/fake/fake_transfer.h"
#include "platform/fake/fake_ui_host.h"
#include "platform/fake/fake_wave_input.h"
#include "platform/fake/fake_worker_threads.h"
#include "platform/platform.h"

namespace zv {

inline std::string SiteUrl(const std::string& path) {
  return std::string("http://") + build::kSiteHost + "/" + path;
}

struct FakeWorld {
  EffectLog log;
  FakeUiHost ui{log};
  FakeShell shell{log};
  FakeFileSystem files;
  FakeHotkeys hotkeys;
  FakeKeyboard keyboard{log};
  FakeClipboard clipboard{log};
  FakeDispatcher dispatcher;
  FakeHttpReader http;
  FakeTransferService transfer;
  FakeProcessLauncher processes{log, dispatcher};
  FakeResources resources;
  FakeWorkerThreads workers;
  FakeAudioOutput audio;
  FakeMediaPlayer media{log};
  FakeFileDialog fileDialog{log};
  FakeWaveInput waveIn;
  FakeTextCodec text;
  FakeSignatureChecker signatures;
  Platform platform{ui,        shell,     files,  dispatcher, http,       transfer,
                    processes, resources, audio,  media,      fileDialog, hotkeys,
                    keyboard,  clipboard, waveIn, workers,    text,       signatures};
  std::optional<EcPublicKey> updateKey;
  DataPaths paths;
  Application app{platform, updateKey, paths};

  // A healthy site with no newer version and a forum page without the online line. The build's
  // own update key is trusted unless the test gives another; the data folder is on D: unless
  // the test chooses another.
  explicit FakeWorld(std::optional<EcPublicKey> key = BuiltInUpdateKey(),
                     const DataPaths& dataPaths = DataPaths())
      : updateKey(key), paths(dataPaths) {
    http.Serve(SiteUrl("111.txt"), "1---http://dl.example/new.exe---Zanvoro助手");
    http.Serve(SiteUrl("forum.php"), "<html><body>forum</body></html>");
  }

  // Starts the program: the main window loads and its start-up sequence runs. Unless the test
  // holds the site, the forum page has finished loading when this returns.
  Form Start(bool waitForForumPage = true) {
    app.Start();
    if (waitForForumPage) app.ForumPage().WaitUntilLoaded();
    return app.Main();
  }
};

}  // namespace zv
