// The main window: banner with links, the tab row, the three pages, the loading overlay and
// the hidden value holders the features keep their state in.
#include <string>

#include "base/build_settings.h"
#include "resources/pictures.h"
#include "ui/catalogue.h"
#include "ui/catalogue_builder.h"

namespace zv {
namespace {

using namespace layout;

constexpr const char* kSoundCaptions[52] = {
    "QQ消息音",   "QQ提示音",     "公鸡叫早",     "搓碟",       "鄙视声音",     "鞭打男人",
    "打饱嗝声",   "打呼噜",       "打架现场声音", "打喷嚏",     "刀剑出鞘",     "电话占线",
    "放屁",       "非诚勿扰亮灯", "给枪上膛",     "狗叫",       "鼓声",         "鬼叫声(男)",
    "鬼叫声(女)", "哈欠声",       "欢呼掌声",     "机枪扫射",   "激烈掌声",     "男人咳嗽声",
    "尖叫声",     "贱笑",         "精神病热线",   "救护车",     "开枪",         "女人呻吟声",
    "敲锣声音",   "敲钟声",       "亲嘴声(敷衍)", "亲嘴声(女)", "轻微掌声",     "群斗剑击",
    "群众笑声",   "手枪声音",     "乌鸦飞过",     "邪恶的笑",   "心跳声",       "新闻联播",
    "英文正数",   "婴儿笑声",     "砸玻璃声音",   "直升飞机",   "Tobrin笑声",   "做人要厚道点",
    "警报声",     "雷声",         "停止播放",     "官方网站",
};

constexpr int kBuiltInClipCount = 50;
constexpr int kSlotCount = 18;

std::string Numbered(const char* stem, int n) { return stem + std::to_string(n); }

ControlSpec& AddLinkLabel(WindowSpec& w, const char* name, int left, const char* text,
                          const char* path) {
  ControlSpec& label = Add(w, name, ControlKind::TransparentLabel, "图片框2", left, 0, 48, 24, text);
  label.font = LinkFont();
  return WithAction(label, Action::OpenLink, path);
}

ControlSpec& AddPicture(WindowSpec& w, const std::string& name, const std::string& container,
                        int left, int top, int width, int height, const char* picture) {
  ControlSpec& box = Add(w, name, ControlKind::PictureBox, container, left, top, width, height);
  box.picture = picture;
  return box;
}

ControlSpec& AddGraphicButton(WindowSpec& w, const std::string& name, const std::string& container,
                              int left, int top, int width, int height, const std::string& caption,
                              const FontSpec& font, const char* face, const char* pressedFace) {
  ControlSpec& button =
      Add(w, name, ControlKind::GraphicButton, container, left, top, width, height, caption);
  button.font = font;
  button.picture = face;
  button.pressedPicture = pressedFace;
  return button;
}

void AddBanner(WindowSpec& w) {
  AddPicture(w, "图片框2", "", 0, 0, 688, 72, pictures::kBanner);
  AddLinkLabel(w, "透明标签5", 8, "官方网站", "/");
  AddLinkLabel(w, "透明标签6", 72, "意见建议", "forum.php?mod=forumdisplay&fid=49");
  AddLinkLabel(w, "透明标签7", 136, "捐助软件", "forum.php?mod=viewthread&tid=1&extra=page%3D1");
  AddLinkLabel(w, "透明标签8", 200, "招聘主播", "forum.php?mod=forumdisplay&fid=44");
  AddLinkLabel(w, "透明标签9", 264, "应聘主播", "forum.php?mod=forumdisplay&fid=45");
  AddLinkLabel(w, "透明标签10", 328, "主播工具", "forum.php?mod=forumdisplay&fid=41");
  AddLinkLabel(w, "透明标签12", 392, "使用教程", "forum.php?mod=forumdisplay&fid=41");
  Add(w, "透明标签11", ControlKind::TransparentLabel, "图片框2", 456, 0, 176, 24,
      "在线人数获取中......")
      .font = LinkFont();
  AddPicture(w, "图片框8", "图片框2", 16, 32, 88, 32, pictures::kLogo);
  WithAction(AddPicture(w, "图片框5", "图片框2", 352, 32, 88, 24, pictures::kLink),
             Action::OpenLink, "short:3");
  WithAction(AddPicture(w, "图片框6", "图片框2", 448, 32, 88, 24, pictures::kLink),
             Action::OpenLink, "short:2");
  WithAction(AddPicture(w, "图片框7", "图片框2", 544, 32, 88, 24, pictures::kLink),
             Action::OpenLink, "short:1");
  AddTimer(w, "时钟2", "图片框2", 0, Action::Heartbeat);
  Hidden(Add(w, "进度条2", ControlKind::ProgressBar, "图片框2", 544, 40, 104, 8));
  Add(w, "通用对话框1", ControlKind::CommonDialog, "图片框2", 0, 0, 0, 0);
}

void AddTabRow(WindowSpec& w) {
  struct Tab {
    const char* caption;
    Action action;
    const char* page;
  };
  const Tab tabs[6] = {
      {"快捷键", Action::ShowPage, "图片框4"},     {"MC音效", Action::ShowPage, "图片框3"},
      {"自定音", Action::ShowPage, "图片框1"},     {"模拟钢琴", Action::OpenPiano, ""},
      {"变声器", Action::OpenVoiceChanger, ""}, {"BOX打碟", Action::BoxNotice, ""},
  };
  for (int i = 0; i < 6; ++i) {
    ControlSpec& tab = AddGraphicButton(w, Numbered("特定按钮", i + 1), "", 8 + 104 * i, 72, 100,
                                        45, tabs[i].caption, TabFont(), pictures::kTabNormal,
                                        pictures::kTabPressed);
    WithAction(tab, tabs[i].action, tabs[i].page);
  }
}

void AddSoundPage(WindowSpec& w) {
  Hidden(Add(w, "图片框3", ControlKind::PictureBox, "", 8, 128, 640, 456));
  for (int n = 1; n <= 52; ++n) {
    ControlSpec& button = AddGraphicButton(
        w, Numbered("官方音按钮", n), "图片框3", 8 + 104 * ((n - 1) % 6), 16 + 40 * ((n - 1) / 6),
        96, 32, kSoundCaptions[n - 1], SoundButtonFont(), pictures::kButton, pictures::kButton);
    if (n <= kBuiltInClipCount) {
      WithAction(button, Action::PlayBuiltInClip, n);
    } else if (n == 51) {
      WithAction(button, Action::StopAll);
    } else {
      WithAction(button, Action::OpenLink, "/");
    }
  }
  ControlSpec& submit = Add(w, "透明标签2", ControlKind::TransparentLabel, "图片框3", 24, 376, 616,
                            16,
                            "如果你有好的场景音乐，请点击这里提交给我们，审核通过，将在下个版本热"
                            "门场景音里面（并显示你提供的）");
  submit.font = LinkFont();
  WithAction(submit, Action::OpenLink, "forum.php?mod=forumdisplay&fid=54");
}

void AddCustomPage(WindowSpec& w) {
  Hidden(Add(w, "图片框1", ControlKind::PictureBox, "", 8, 128, 640, 456));
  for (int n = 1; n <= kSlotCount; ++n) {
    const int column = (n - 1) / 6;
    const int row = (n - 1) % 6;
    const int top = 16 + 64 * row;
    WithAction(Add(w, Numbered("自定义歌曲名字", n), ControlKind::TransparentLabel, "图片框1",
                   8 + 200 * column, top, 72, 48,
                   "亲，你还没有选择场景音哦！点击我！选择歌曲！"),
               Action::ChooseSlotFile, n);
    WithAction(AddGraphicButton(w, Numbered("自定义播放按钮", n), "图片框1", 88 + 200 * column,
                                top, 50, 50, "", SlotButtonFont(), pictures::kPlayNormal,
                                pictures::kPlayPressed),
               Action::PlaySlot, n);
    WithAction(AddGraphicButton(w, Numbered("自定义停止按钮", n), "图片框1", 144 + 200 * column,
                                top, 50, 50, "", SlotButtonFont(), pictures::kStopNormal,
                                pictures::kStopPressed),
               Action::StopAll);
  }
  Add(w, "透明标签1", ControlKind::TransparentLabel, "图片框1", 96, 392, 392, 16,
      "温馨提示：点击歌曲名字即可更换自己喜爱的本地音乐哦！");
}

void AddQuickSendPage(WindowSpec& w) {
  Hidden(Add(w, "图片框4", ControlKind::PictureBox, "", 8, 128, 640, 456));
  WithAction(Add(w, "透明标签4", ControlKind::TransparentLabel, "图片框4", 32, 8, 528, 24,
                 "先开启热键，然后到鼠标点击聊天室聊天框，按F1-12即可发送指定数据！【点击这里"
                 "看详细教程】"),
             Action::OpenLink, "forum.php?mod=viewthread&tid=3&extra=");
  for (int n = 1; n <= 12; ++n) {
    const int top = 32 + 24 * (n - 1);
    const int left = n <= 9 ? 24 : 16;
    const int width = n <= 9 ? 72 : (n <= 11 ? 88 : 96);
    Add(w, Numbered("透明标签F", n), ControlKind::TransparentLabel, "图片框4", left, top, width,
        24, "快捷键F" + std::to_string(n) + "：")
        .font = TabFont();
  }
  for (int n = 1; n <= 12; ++n) {
    Add(w, Numbered("快捷编辑框", n), ControlKind::EditBox, "图片框4", 112, 32 + 24 * (n - 1), 448,
        20);
  }
  Add(w, "透明标签3", ControlKind::TransparentLabel, "图片框4", 16, 344, 200, 24,
      "【温馨提示】修改完成后请保存配置");
  const struct {
    const char* name;
    int left;
    const char* caption;
    Action action;
  } buttons[3] = {{"保存配置按钮", 232, "保存配置", Action::SaveQuickSend},
                  {"保存配置按钮1", 344, "开启热键", Action::QuickSendOn},
                  {"保存配置按钮2", 456, "关闭热键", Action::QuickSendOff}};
  for (const auto& b : buttons) {
    WithAction(AddGraphicButton(w, b.name, "图片框4", b.left, 336, 96, 32, b.caption,
                                SaveButtonFont(), pictures::kButton, pictures::kButton),
               b.action);
  }
  AddTimer(w, "时钟3", "图片框4", 0, Action::OnlineCountTick);
  Hidden(Add(w, "进度条1", ControlKind::ProgressBar, "图片框4", 0, 32, 16, 16));
}

void AddLoadingOverlay(WindowSpec& w) {
  AddPicture(w, "图片框9", "", 168, 152, 312, 312, pictures::kLoading);
  Add(w, "透明标签状态", ControlKind::TransparentLabel, "图片框9", 0, 280, 312, 32, "正在加载...");
}

// Value holders live below the visible area; the user never sees them.
void AddValueHolders(WindowSpec& w) {
  AddTimer(w, "时钟1", "", 1, Action::VersionCheckTick);
  WithAction(Add(w, "标签1", ControlKind::Label, "", 360, 792, 32, 24), Action::QuickSendHotkey);
  Add(w, "超文本浏览框1", ControlKind::HtmlViewer, "", 24, 672, 320, 96,
      std::string("http://") + build::kSiteHost + "/forum.php");
  Add(w, "编辑框在线人数1", ControlKind::EditBox, "", 48, 656, 72, 24);
  Add(w, "编辑框软件名字", ControlKind::EditBox, "", 344, 672, 64, 24);
  Add(w, "编辑框老版本号", ControlKind::EditBox, "", 432, 672, 64, 24, build::kOwnVersion);
  Add(w, "编辑框更新连接", ControlKind::EditBox, "", 520, 672, 64, 24);
  Add(w, "编辑框版本号", ControlKind::EditBox, "", 616, 672, 64, 24);
  Add(w, "编辑框更新", ControlKind::EditBox, "", 344, 712, 64, 24);

  Hidden(Add(w, "分组框1", ControlKind::GroupBox, "", 64, 704, 48, 40));
  for (int n = 1; n <= 62; ++n) {
    Add(w, Numbered("编辑框自定义地址", n), ControlKind::EditBox, "分组框1", 8, 16, 32, 20);
  }
  Add(w, "编辑框自定义配置", ControlKind::EditBox, "分组框1", 8, 16, 32, 20);

  Add(w, "分组框2", ControlKind::GroupBox, "", 168, 784, 48, 40);
  Add(w, "编辑框官方歌曲", ControlKind::EditBox, "分组框2", 8, 16, 32, 20);
  for (int n = 1; n <= 78; ++n) {
    Add(w, Numbered("编辑框官方地址", n), ControlKind::EditBox, "分组框2", 8, 16, 32, 20);
  }

  Add(w, "分组框3", ControlKind::GroupBox, "", 240, 784, 88, 40);
  Add(w, "编辑框快捷配置", ControlKind::EditBox, "分组框3", 8, 16, 72, 20);
  for (int n = 1; n <= 60; ++n) {
    Add(w, Numbered("编辑框官方下载地址", n), ControlKind::EditBox, "分组框3", 8, 16, 72, 20);
  }
}

WindowSpec BuildMainWindow() {
  WindowSpec w;
  w.id = "main";
  w.caption = std::string("ZanvoroMC音效YY变声器模拟钢琴快捷发送助手v2.0（官方网站") +
              build::kSiteHost + "）";
  w.width = 643;
  w.height = 584;
  w.onCreated = Action::StartUp;
  AddBanner(w);
  AddTabRow(w);
  AddSoundPage(w);
  AddCustomPage(w);
  AddQuickSendPage(w);
  AddLoadingOverlay(w);
  AddValueHolders(w);
  return w;
}

}  // namespace

const WindowSpec& MainWindowSpec() {
  static const WindowSpec table = BuildMainWindow();
  return table;
}

}  // namespace zv
