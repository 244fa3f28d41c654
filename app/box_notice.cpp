// The BOX tab's notice and the forum board it sends the user to.
#include "app/box_notice.h"

#include "app/links.h"

namespace zv {

void ShowBoxNotice(IUiHost& ui, IShell& shell) {
  ui.InfoBox("温馨提示：",
             "BOX打碟将在下个版本正式发布，目前作者还在了解BOX，如果你懂可以在论坛发帖联系我！",
             BoxIcon::None);
  shell.OpenUrl(LinkUrl("forum.php?mod=forumdisplay&fid=49"));
}

}  // namespace zv
