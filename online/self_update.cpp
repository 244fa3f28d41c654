// Self-update download. Everything that touches a window runs on the GUI thread: the transfer's
// end notification arrives on a worker and is posted over, and the check of the file, which
// reads all of it, runs on a worker of its own so the window keeps answering meanwhile.
#include "online/self_update.h"

#include <cmath>

#include "base/number_text.h"
#include "online/update_signature.h"
#include "online/update_target.h"
#include "online/version_check.h"

namespace zv {
namespace {

constexpr const char* kNotice = "提示";
constexpr const char* kCompleteText = "下载完成，请手动删除旧版本！软件自动运行新版本！";
constexpr const char* kFailedText = "更新下载失败，请稍后再试，或到官方网站下载新版本！";

std::string Figure(double value) { return NumberToText(RoundHalfAwayFromZero(value, 2)); }

}  // namespace

SelfUpdate::SelfUpdate(Platform& platform, std::function<void()> endProgram,
                       std::optional<EcPublicKey> trustedKey)
    : platform_(platform), endProgram_(std::move(endProgram)), trustedKey_(trustedKey) {}

SelfUpdate::~SelfUpdate() { Stop(); }

void SelfUpdate::Begin(const Form& update, const Form& main) {
  window_ = update.Id();
  main_ = main.Id();
  const ScreenRect owner = platform_.ui.WindowRect(main.Id());
  platform_.ui.MoveWindow(update.Id(), {owner.left + 100, owner.top + 480, 442, 59});

  const std::string source = TrimBlanks(main.Text("编辑框更新连接"));
  const std::optional<std::string> target =
      UpdateTargetPath(platform_.files.CurrentDirectory(), main.Text("编辑框软件名字"));
  if (!target || source.empty()) {
    // Reported once the window's modal loop runs, the same way as a failed download.
    platform_.dispatcher.Post([this] { Fail(); });
    return;
  }
  TransferSettings settings;
  settings.source = source;
  settings.target = *target;
  settings.parts = kUpdateParts;
  settings.connectTimeoutMs = kUpdateConnectTimeoutMs;
  settings.commandTimeoutMs = kUpdateCommandTimeoutMs;
  settings.receiveTimeoutMs = kUpdateReceiveTimeoutMs;
  settings.stopWaitMs = kUpdateStopWaitMs;
  settings.blockBytes = kUpdateBlockBytes;
  settings.handler = [this](const TransferNotice& notice) { return OnNotice(notice); };
  totalSize_ = 0;
  platform_.transfer.Start(settings);
}

void SelfUpdate::Tick(const Form& update, const Form& main) {
  const double tickSeconds = kUpdateTickMs / 1000.0;
  const double recent = static_cast<double>(platform_.transfer.BytesSinceLastQuery());
  const double soFar = static_cast<double>(platform_.transfer.BytesSoFar());
  const double total = static_cast<double>(totalSize_.load());

  update.Ui().SetPaneText(update.Id(), "状态条1", 0, main.Text("编辑框软件名字"));
  update.Ui().SetPaneText(update.Id(), "状态条1", 1,
                          "速度:" + Figure(recent / 1024 / tickSeconds) + "kb/秒");
  const int progress = total > 0 ? static_cast<int>(std::floor(soFar / total * 100)) : 0;
  update.SetPosition("进度条1", progress);
  update.Ui().SetPaneText(update.Id(), "状态条1", 2, "已下载:" + Figure(soFar / 1024) + "KB");
  const std::string percent = std::to_string(update.Position("进度条1")) + "%";
  update.Ui().SetPaneText(update.Id(), "状态条1", 3, "百分比:" + percent);
  update.SetText("透明标签1", percent);
}

void SelfUpdate::Stop() {
  stopping_ = true;
  platform_.transfer.Stop();
  JoinChecker();
}

void SelfUpdate::JoinChecker() {
  if (checker_.joinable()) checker_.join();
}

int SelfUpdate::OnNotice(const TransferNotice& notice) {
  switch (notice.code) {
    case TransferCode::Size:
      totalSize_ = notice.length;
      break;
    case TransferCode::Ended: {
      const TransferOutcome outcome = notice.outcome;
      platform_.dispatcher.Post([this, outcome] { Finish(outcome); });
      break;
    }
    case TransferCode::TargetExists:
      // 0: the old file is replaced, but only once the new one has arrived whole.
      break;
  }
  return 0;
}

void SelfUpdate::Finish(const TransferOutcome& outcome) {
  // A file that did not arrive whole is never started: it would be a broken program.
  if (!outcome.whole || outcome.savedPath.empty()) {
    Fail();
    return;
  }
  if (trustedKey_) {
    CheckDownload(outcome.savedPath);
  } else {
    Complete(outcome.savedPath);
  }
}

void SelfUpdate::CheckDownload(const std::string& path) {
  // The document's values are read now, on the GUI thread, where their holders live.
  const Form main(platform_.ui, main_);
  const UpdateClaim claim{SignatureField(main.Text("编辑框更新")),
                          VersionNumber(main.Text("编辑框版本号"))};
  const int own = VersionNumber(main.Text("编辑框老版本号"));
  JoinChecker();
  try {
    checker_ = platform_.workers.Start([this, path, claim, own] {
      // One read serves the signature and the version, so both speak of the same bytes.
      const std::optional<std::string> program = platform_.files.ReadFile(path);
      const bool genuine = program && UpdateIsGenuine(platform_.signatures, *program, *trustedKey_,
                                                      claim, own, stopping_);
      if (!stopping_) platform_.dispatcher.Post([this, path, genuine] { Checked(path, genuine); });
    });
  } catch (...) {
    Checked(path, false);  // a file that cannot be checked is never started
  }
}

void SelfUpdate::Checked(const std::string& path, bool genuine) {
  if (stopping_) return;  // the program is ending: start nothing now
  if (genuine) {
    Complete(path);
    return;
  }
  // Someone else's program, or a release other than the one announced, must not stay behind
  // where the user might start it by hand.
  platform_.files.RemoveFile(path);
  Fail();
}

void SelfUpdate::Complete(const std::string& path) {
  platform_.ui.InfoBox(kNotice, kCompleteText, BoxIcon::Information);
  if (platform_.ui.Exists(window_)) platform_.ui.SetInterval(window_, "时钟1", 0);
  StartNewProgram(path);
}

void SelfUpdate::Fail() {
  if (platform_.ui.Exists(window_)) platform_.ui.SetInterval(window_, "时钟1", 0);
  platform_.ui.InfoBox(kNotice, kFailedText, BoxIcon::Information);
  // Closing the window lets the version check go on to the MC sound page.
  if (platform_.ui.Exists(window_)) platform_.ui.Destroy(window_);
}

void SelfUpdate::StartNewProgram(const std::string& path) {
  // The path is quoted so a directory with spaces cannot make Windows start another program.
  const bool started = platform_.processes.Start(path, "\"" + path + "\"", kNewProgramShowMode,
                                                 [this] { endProgram_(); });
  if (!started) endProgram_();
}

}  // namespace zv
