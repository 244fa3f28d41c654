// The update window and the download behind it: the transfer is started when the window is
// created, its figures are shown twice a second, and its end either starts the new program
// and ends this one, or tells the user the update failed and lets the program go on. A build
// that trusts a signing key starts only a file signed with it that carries the announced
// version.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "ui/form.h"

namespace zv {

// The fixed transfer settings the update hands to the service.
constexpr int kUpdateParts = 5;
constexpr int kUpdateConnectTimeoutMs = 5000;
constexpr int kUpdateCommandTimeoutMs = 5000;
constexpr int kUpdateReceiveTimeoutMs = 10000;
constexpr int kUpdateStopWaitMs = 1000;
constexpr int kUpdateBlockBytes = 10240;
constexpr int kUpdateTickMs = 500;
constexpr int kNewProgramShowMode = 1;

class SelfUpdate {
 public:
  // `endProgram` ends the whole program the normal way (exit clean-up, exit code 0).
  // `trustedKey`: the key every downloaded file must be signed with; none: files are not checked.
  SelfUpdate(Platform& platform, std::function<void()> endProgram,
             std::optional<EcPublicKey> trustedKey);
  ~SelfUpdate();
  SelfUpdate(const SelfUpdate&) = delete;
  SelfUpdate& operator=(const SelfUpdate&) = delete;

  // The update window's created event: place it over the main window and start the transfer.
  void Begin(const Form& update, const Form& main);
  // The update window's 时钟1.
  void Tick(const Form& update, const Form& main);
  // Program exit: no notification may arrive after this, and no check of a file runs on.
  void Stop();

 private:
  int OnNotice(const TransferNotice& notice);  // transfer worker thread
  void Finish(const TransferOutcome& outcome);  // GUI thread
  void CheckDownload(const std::string& path);
  void Checked(const std::string& path, bool genuine);
  void Complete(const std::string& path);
  void Fail();
  void StartNewProgram(const std::string& path);
  void JoinChecker();

  Platform& platform_;
  std::function<void()> endProgram_;
  const std::optional<EcPublicKey> trustedKey_;
  WindowId window_ = kNoWindow;
  WindowId main_ = kNoWindow;
  std::atomic<int64_t> totalSize_{0};
  std::thread checker_;
  std::atomic<bool> stopping_{false};
};

}  // namespace zv
