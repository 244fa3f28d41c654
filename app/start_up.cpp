// Start-up sequence and heartbeat of the main window.
#include "app/start_up.h"

#include "base/gbk_text.h"
#include "quicksend/quick_send_texts.h"
#include "sound/custom_slots.h"

namespace zv {
namespace {

constexpr const char* kStatus = "透明标签状态";

void ReadIntoHolder(const Form& main, IFileSystem& files, const std::string& path,
                    const char* holder) {
  main.SetText(holder, TextUpToZero(files.ReadFile(path).value_or("")));
}

}  // namespace

void RunStartUpSequence(const Form& main, IFileSystem& files, const DataPaths& paths) {
  main.SetText(kStatus, "正在检测配置文件是否正确");
  if (!files.DirectoryExists(paths.folder)) files.CreateDirectory(paths.folder);
  ReadIntoHolder(main, files, paths.customSoundConfig, "编辑框自定义配置");
  ReadIntoHolder(main, files, paths.quickSendConfig, "编辑框快捷配置");
  if (!main.Text("编辑框自定义配置").empty()) {
    LoadSlots(main);
    main.SetText(kStatus, "正在获取音效自定义配置");
  }
  if (!main.Text("编辑框快捷配置").empty()) {
    LoadQuickSendTexts(main);
    main.SetText(kStatus, "正在获取快捷键配置");
  }
  main.SetInterval("时钟2", kHeartbeatMilliseconds);
  ArmOnlineCount(main);
  main.SetText(kStatus, "正在获取在线人数");
}

void ArmOnlineCount(const Form& main) { main.SetInterval("时钟3", 1); }

void HeartbeatTick(const Form& main) {
  const int beats = main.Position("进度条2") + 1;
  main.SetPosition("进度条2", beats);
  if (beats >= kHeartbeatsPerOnlineRefresh) {
    main.SetPosition("进度条2", 0);
    ArmOnlineCount(main);
  }
}

}  // namespace zv
