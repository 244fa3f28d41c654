// The three secondary windows: update, piano and voice changer.
#include "resources/pictures.h"
#include "ui/catalogue.h"
#include "ui/catalogue_builder.h"

namespace zv {
namespace {

using namespace layout;

ControlSpec& AddSaveStyleButton(WindowSpec& w, const char* name, int left, int top,
                                const char* caption, Action action) {
  ControlSpec& button =
      Add(w, name, ControlKind::GraphicButton, "", left, top, 96, 32, caption);
  button.font = SaveButtonFont();
  button.picture = pictures::kButton;
  button.pressedPicture = pictures::kButton;
  return WithAction(button, action);
}

WindowSpec BuildUpdateWindow() {
  WindowSpec w;
  w.id = "update";
  w.caption = "自动更新";
  w.width = 440;
  w.height = 59;
  w.icon = pictures::kUpdateIcon;
  w.onCreated = Action::UpdateStart;
  Add(w, "透明标签1", ControlKind::TransparentLabel, "", 8, 8, 136, 24, "正在自动更新").font =
      FontSpec{"宋体", 21, false};
  Add(w, "进度条1", ControlKind::ProgressBar, "", 136, 8, 296, 22);
  AddTimer(w, "时钟1", "", 500, Action::UpdateTick);
  Add(w, "状态条1", ControlKind::StatusBar, "", 0, 39, 385, 20).panes = 4;
  return w;
}

WindowSpec BuildPianoWindow() {
  WindowSpec w;
  w.id = "piano";
  w.caption = "Zanvoro模拟钢琴";
  w.width = 572;
  w.height = 494;
  w.onCreated = Action::PianoCreated;
  w.onClosing = Action::PianoClosing;
  AddSaveStyleButton(w, "保存配置按钮1", 464, 16, "开启钢琴", Action::PianoOn);
  AddSaveStyleButton(w, "保存配置按钮2", 464, 64, "关闭钢琴", Action::PianoOff);
  ControlSpec& piano = Add(w, "图片框2", ControlKind::PictureBox, "", 8, -16, 456, 200);
  piano.picture = pictures::kGrandPiano;
  WithAction(piano, Action::Ignored);
  Add(w, "图片框1", ControlKind::PictureBox, "", 0, 176, 568, 288).picture = pictures::kKeyboard;
  WithAction(Add(w, "按钮1", ControlKind::Button, "", 456, 416, 48, 24, "开启"), Action::PianoOn);
  WithAction(Add(w, "按钮2", ControlKind::Button, "", 520, 416, 48, 24, "关闭"), Action::PianoOff);
  WithAction(Add(w, "标签1", ControlKind::Label, "", 392, 448, 96, 24), Action::PianoHotkey);
  return w;
}

WindowSpec BuildVoiceWindow() {
  WindowSpec w;
  w.id = "voice";
  w.caption = "落Zanvoro变声器";
  w.width = 373;
  w.height = 359;
  w.onCreated = Action::VoiceCreated;
  w.onClosing = Action::VoiceClosing;
  ControlSpec& level = Add(w, "进度条1", ControlKind::ProgressBar, "", 32, 8, 272, 24);
  level.rangeMax = 3000;
  Add(w, "外形框1", ControlKind::ShapeBox, "", 312, 8, 24, 24).fill = 0x00C0C0C0;
  Add(w, "标签2", ControlKind::Label, "", 88, 47, 40, 32, "灵敏度");
  Add(w, "编辑框2", ControlKind::EditBox, "", 152, 47, 96, 32, "200");
  ControlSpec& slider = Add(w, "滑块条1", ControlKind::Slider, "", 42, 96, 280, 29);
  slider.rangeMin = 1;
  slider.rangeMax = 22;
  slider.position = 5;
  Add(w, "标签4", ControlKind::Label, "", 22, 101, 16, 24, "慢");
  Add(w, "标签3", ControlKind::Label, "", 330, 101, 16, 24, "快");
  Add(w, "标签5", ControlKind::Label, "", 72, 125, 208, 24, " 9 8 7 6 5 4 3 2 1 2 3 4 5 6 7 8 9 ");
  WithAction(Add(w, "单选框2", ControlKind::RadioButton, "", 90, 149, 80, 24, "变速"),
             Action::VoiceSpeedMode);
  WithAction(Add(w, "单选框1", ControlKind::RadioButton, "", 202, 149, 80, 24, "变声"),
             Action::VoiceVoiceMode);
  AddSaveStyleButton(w, "保存配置按钮2", 64, 184, "试听", Action::VoiceListen);
  AddSaveStyleButton(w, "保存配置按钮1", 200, 184, "开始", Action::VoiceStart);
  ControlSpec& notice = Add(w, "透明标签1", ControlKind::TransparentLabel, "", 24, 232, 320, 96,
                            "由于本人没有麦无法调试【目前此功能自己测试】\r\n\r\n"
                            "功能完善待下个版本再做修改可以到我论坛意见建\r\n\r\n"
                            "议发帖告诉我需要改进的地方\r\n\r\n"
                            "点击此处进入论坛发帖告诉我！");
  notice.font = LinkFont();
  WithAction(notice, Action::OpenLink, "forum.php?mod=forumdisplay&fid=49");
  WithAction(Add(w, "按钮2", ControlKind::Button, "", 464, 40, 88, 32, "试听"), Action::VoiceListen);
  WithAction(Add(w, "按钮1", ControlKind::Button, "", 464, 88, 88, 32, "开始"), Action::Ignored);
  AddTimer(w, "时钟1", "", 0, Action::VoiceTick);
  Add(w, "录音音波1", ControlKind::WaveformDisplay, "", 568, 136, 26, 26);
  Add(w, "录音1", ControlKind::WaveRecorder, "", 0, 0, 0, 0);
  return w;
}

}  // namespace

const WindowSpec& UpdateWindowSpec() {
  static const WindowSpec table = BuildUpdateWindow();
  return table;
}

const WindowSpec& PianoWindowSpec() {
  static const WindowSpec table = BuildPianoWindow();
  return table;
}

const WindowSpec& VoiceWindowSpec() {
  static const WindowSpec table = BuildVoiceWindow();
  return table;
}

}  // namespace zv
