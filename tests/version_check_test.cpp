// The version check on the fake platform: the animated wait, the document's fields, the update
// offer and the end of the program when the document cannot be read.
#include <gtest/gtest.h>

#include "base/build_settings.h"
#include "fake_world.h"

namespace zv {
namespace {

const std::string kDocument = SiteUrl("111.txt");

struct DocumentCase {
  std::string name;
  std::string body;
  bool served;          // false: the site cannot be reached
  bool runsOn;          // the MC sound page shows; otherwise the program ends
  bool updateOffered;
  std::string version, address, softwareName;
};

class VersionDocumentTest : public testing::TestWithParam<DocumentCase> {};

TEST_P(VersionDocumentTest, FieldsDecideWhatHappens) {
  const DocumentCase& c = GetParam();
  FakeWorld world;
  if (c.served) {
    world.http.Serve(kDocument, c.body);
  } else {
    world.http.Unserve(kDocument);
  }
  const Form main = world.Start();
  world.ui.Advance(100);

  const std::vector<std::string> fetched = world.http.Requests();
  EXPECT_EQ(std::count(fetched.begin(), fetched.end(), kDocument), 1);
  if (!c.runsOn) {
    const std::string contact = build::kContact;
    ASSERT_EQ(world.log.size(), 1u);
    EXPECT_EQ(world.log[0],
              "box:信息：|无法检测到网络文件，或者网站正在维护,请稍后再试！请联系" + contact);
    const std::vector<std::string> status = world.ui.TextHistory(main.Id(), "透明标签状态");
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.back(), "错误联系" + contact);
    EXPECT_FALSE(world.ui.Exists(main.Id()));
    return;
  }
  ASSERT_TRUE(world.ui.Exists(main.Id()));
  EXPECT_TRUE(world.log.empty());
  EXPECT_EQ(main.Text("编辑框版本号"), c.version);
  EXPECT_EQ(main.Text("编辑框更新连接"), c.address);
  EXPECT_EQ(main.Text("编辑框软件名字"), c.softwareName);
  EXPECT_EQ(world.ui.Find("update") != kNoWindow, c.updateOffered);
  EXPECT_EQ(main.Text("透明标签状态"), c.updateOffered ? "有新版本，请升级" : "读取服务器数据完成");
  EXPECT_FALSE(main.IsShown("图片框9"));
  EXPECT_TRUE(main.IsShown("图片框3"));
  EXPECT_FALSE(main.IsShown("图片框1"));
  EXPECT_FALSE(main.IsShown("图片框4"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionDocumentTest,
    testing::Values(
        DocumentCase{"sameVersion", "1---x---y", true, true, false, "1", "x", "y"},
        DocumentCase{"newer", "2---x---y", true, true, true, "2", "x", "y"},
        DocumentCase{"leadingZero", "02---x---y", true, true, true, "02", "x", "y"},
        DocumentCase{"trailingMarker", "2---x---y---", true, true, true, "2", "x", "y"},
        DocumentCase{"extraFields", "2---x---y---z---w", true, true, true, "2", "x", "y"},
        DocumentCase{"fraction", "3.5---a---b", true, true, true, "3.5", "a", "b"},
        DocumentCase{"fullWidthDigit", "２---a---b", true, true, true, "２", "a", "b"},
        DocumentCase{"notANumber", "x2---a---b", true, true, false, "x2", "a", "b"},
        DocumentCase{"olderPublished", "0---a---b", true, true, false, "0", "a", "b"},
        DocumentCase{"emptyAddress", "2------y", true, true, true, "2", "", "y"},
        DocumentCase{"emptyLastFieldIsNoField", "2---x---", true, false, false, "", "", ""},
        DocumentCase{"textAfterZeroByte", std::string("2---x---y\0---z", 13), true, true, true,
                     "2", "x", "y"},
        DocumentCase{"lineBreakKept", "1---x---y\r\n", true, true, false, "1", "x", "y\r\n"},
        DocumentCase{"twoFields", "2---x", true, false, false, "", "", ""},
        DocumentCase{"errorPage", "<html>404 Not Found</html>", true, false, false, "", "", ""},
        DocumentCase{"zeroByteFirst", std::string("\0" "2---x---y", 10), true, false, false, "",
                     "", ""},
        DocumentCase{"emptyBody", "", true, false, false, "", "", ""},
        DocumentCase{"unreachable", "", false, false, false, "", "", ""}),
    [](const auto& info) { return info.param.name; });

TEST(VersionCheckTest, CutOffDocumentIsUsedAsFarAsItCame) {
  FakeWorld world;
  world.http.Serve(kDocument, "1---x---partial", false);
  const Form main = world.Start();
  world.ui.Advance(100);
  EXPECT_EQ(main.Text("编辑框软件名字"), "partial");
  EXPECT_TRUE(main.IsShown("图片框3"));
}

TEST(VersionCheckTest, StatusDotsChangeOnlyAtTheirTicksAndTheCheckRunsOnce) {
  FakeWorld world;
  const Form main = world.Start();
  const size_t startUpTexts = world.ui.TextHistory(main.Id(), "透明标签状态").size();
  std::vector<std::pair<int, std::string>> changes;
  std::string last = main.Text("透明标签状态");
  for (int tick = 1; tick <= 99; ++tick) {
    world.ui.Advance(1);
    if (main.Text("透明标签状态") != last) {
      last = main.Text("透明标签状态");
      changes.emplace_back(tick, last);
    }
  }
  const std::vector<std::pair<int, std::string>> expected = {
      {1, "正在检测服务器版本."},  {10, "正在检测服务器版本.."}, {30, "正在检测服务器版本..."},
      {56, "正在检测服务器版本."}, {78, "正在检测服务器版本.."}};
  EXPECT_EQ(changes, expected);
  EXPECT_EQ(world.ui.TextHistory(main.Id(), "透明标签状态").size(), startUpTexts + 5);
  EXPECT_TRUE(world.http.Requests().size() == 1u);  // only the forum page so far
  EXPECT_FALSE(main.IsShown("图片框3"));

  world.ui.Advance(1);
  const std::vector<std::string> history = world.ui.TextHistory(main.Id(), "透明标签状态");
  const std::vector<std::string> checkTexts(history.end() - 2, history.end());
  EXPECT_EQ(checkTexts, (std::vector<std::string>{"正在读取服务器数据", "读取服务器数据完成"}));
  world.ui.Advance(10000);
  const std::vector<std::string> fetched = world.http.Requests();
  EXPECT_EQ(std::count(fetched.begin(), fetched.end(), kDocument), 1);
  EXPECT_EQ(main.Interval("时钟1"), 0);
}

}  // namespace
}  // namespace zv
