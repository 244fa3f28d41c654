// Version-check ticks and the check itself. The fetch blocks the GUI thread on purpose: the
// window has nothing else to do until it knows whether this version may run on.
#include "online/version_check.h"

#include "base/build_settings.h"
#include "base/gbk_text.h"
#include "base/number_text.h"

namespace zv {
namespace {

constexpr const char* kStatus = "透明标签状态";
constexpr const char* kFieldMarker = "---";

struct TickStatus {
  int position;
  const char* text;
};

constexpr TickStatus kTickStatus[] = {
    {1, "正在检测服务器版本."},  {10, "正在检测服务器版本.."}, {30, "正在检测服务器版本..."},
    {56, "正在检测服务器版本."}, {78, "正在检测服务器版本.."},
};

}  // namespace

bool VersionCheckTick(const Form& main) {
  const int ticks = main.Position("进度条1") + 1;
  main.SetPosition("进度条1", ticks);
  if (ticks >= kVersionCheckTicks) {
    main.SetPosition("进度条1", 0);
    main.SetInterval("时钟1", 0);
    return true;
  }
  for (const TickStatus& status : kTickStatus) {
    if (status.position == ticks) main.SetText(kStatus, status.text);
  }
  return false;
}

std::string VersionDocumentUrl() { return std::string("http://") + build::kSiteHost + "/111.txt"; }

int VersionNumber(const std::string& text) {
  return TextToInteger(text, Digits::AsciiAndFullWidth);
}

bool RunVersionCheck(const Form& main, IHttpReader& http,
                     const std::function<void()>& openUpdateWindow) {
  main.SetText(kStatus, "正在读取服务器数据");
  main.SetText("编辑框更新", TextUpToZero(http.Get(VersionDocumentUrl()).body));
  main.SetText(kStatus, "读取服务器数据完成");

  const std::vector<std::string> fields = SplitText(main.Text("编辑框更新"), kFieldMarker);
  if (fields.size() < 3) {
    main.Ui().InfoBox("信息：", std::string("无法检测到网络文件，或者网站正在维护,请稍后再试！请联系") +
                                  build::kContact,
                      BoxIcon::None);
    main.SetText(kStatus, std::string("错误联系") + build::kContact);
    return false;
  }
  main.SetText("编辑框版本号", fields[0]);
  main.SetText("编辑框更新连接", fields[1]);
  main.SetText("编辑框软件名字", fields[2]);

  if (VersionNumber(main.Text("编辑框老版本号")) < VersionNumber(main.Text("编辑框版本号"))) {
    main.SetText(kStatus, "有新版本，请升级");
    openUpdateWindow();
  }
  main.Show("图片框9", false);
  main.Show("图片框3", true);
  return true;
}

}  // namespace zv
