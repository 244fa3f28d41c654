// Online count: the markers match the forum's "online members" line as the viewer writes it.
#include "online/online_count.h"

#include "base/gbk_text.h"

namespace zv {
namespace {

constexpr const char* kStartMarker = "</STRONG><SPAN class=xs1>- 总计 <STRONG>";
constexpr const char* kEndMarker = "</STRONG> 人在线 - 最高记录是 <STRONG>";

}  // namespace

std::string CutOnlineCount(const std::string& page) {
  const std::string start = kStartMarker;
  const int found = FindText(page, start);
  if (found < 0) return "";
  const std::string rest = page.substr(static_cast<size_t>(found - 1) + start.size());
  const int end = FindText(rest, kEndMarker);
  if (end < 0) return "";
  return rest.substr(0, static_cast<size_t>(end - 1));
}

void OnlineCountTick(const Form& main, const PageViewer& viewer) {
  if (viewer.Busy()) return;
  main.SetInterval("时钟3", 0);
  main.SetText("编辑框在线人数1", viewer.PageText());
  const std::string count = CutOnlineCount(main.Text("编辑框在线人数1"));
  main.SetText("透明标签11", "（当前在线人数：" + count + "人）");
}

}  // namespace zv
