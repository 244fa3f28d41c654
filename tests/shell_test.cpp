// The shell's controls on the fake platform: page buttons, links, the BOX notice and the two
// secondary windows.
#include <gtest/gtest.h>

#include "base/build_settings.h"
#include "case_name.h"
#include "fake_world.h"

namespace zv {
namespace {

struct PageCase {
  std::string button, page;
};

class PageButtonTest : public testing::TestWithParam<PageCase> {};

TEST_P(PageButtonTest, ShowsExactlyOnePageAndAgainChangesNothing) {
  FakeWorld world;
  const Form main = world.Start();
  for (int press = 0; press < 2; ++press) {
    world.ui.Click(main.Id(), GetParam().button);
    for (const char* page : {"图片框1", "图片框3", "图片框4"}) {
      EXPECT_EQ(main.IsShown(page), page == GetParam().page) << page << " press " << press;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, PageButtonTest,
                         testing::Values(PageCase{"特定按钮1", "图片框4"},
                                         PageCase{"特定按钮2", "图片框3"},
                                         PageCase{"特定按钮3", "图片框1"}),
    test::NamedBy([](const PageCase& c) { return c.page; }));

TEST(PageButtonTest, SwitchingBetweenPagesKeepsOneVisible) {
  FakeWorld world;
  const Form main = world.Start();
  world.ui.Click(main.Id(), "特定按钮3");
  world.ui.Click(main.Id(), "特定按钮1");
  EXPECT_TRUE(main.IsShown("图片框4"));
  EXPECT_FALSE(main.IsShown("图片框1"));
  EXPECT_FALSE(main.IsShown("图片框3"));
}

struct LinkCase {
  std::string control;
  bool press;
  std::string url;
};

class LinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkTest, OpensItsPage) {
  FakeWorld world;
  const Form main = world.Start();
  if (GetParam().press) {
    world.ui.Press(main.Id(), GetParam().control);
  } else {
    world.ui.Click(main.Id(), GetParam().control);
  }
  ASSERT_EQ(world.log.size(), 1u);
  EXPECT_EQ(world.log[0], "open:" + GetParam().url);
}

const std::string kRoot = std::string("http://") + build::kSiteHost + "/";

INSTANTIATE_TEST_SUITE_P(
    Table, LinkTest,
    testing::Values(
        LinkCase{"透明标签5", true, kRoot}, LinkCase{"官方音按钮52", false, kRoot},
        LinkCase{"透明标签6", true, kRoot + "forum.php?mod=forumdisplay&fid=49"},
        LinkCase{"透明标签7", true, kRoot + "forum.php?mod=viewthread&tid=1&extra=page%3D1"},
        LinkCase{"透明标签8", true, kRoot + "forum.php?mod=forumdisplay&fid=44"},
        LinkCase{"透明标签9", true, kRoot + "forum.php?mod=forumdisplay&fid=45"},
        LinkCase{"透明标签10", true, kRoot + "forum.php?mod=forumdisplay&fid=41"},
        LinkCase{"透明标签12", true, kRoot + "forum.php?mod=forumdisplay&fid=41"},
        LinkCase{"透明标签4", true, kRoot + "forum.php?mod=viewthread&tid=3&extra="},
        LinkCase{"透明标签2", true, kRoot + "forum.php?mod=forumdisplay&fid=54"},
        LinkCase{"图片框5", true, build::kShortLink3}, LinkCase{"图片框6", true, build::kShortLink2},
        LinkCase{"图片框7", true, build::kShortLink1}),
    test::NamedBy([](const LinkCase& c) { return c.control; }));

TEST(LinkTest, PlainTextAndPicturesWithoutLinksOpenNothing) {
  FakeWorld world;
  const Form main = world.Start();
  for (const char* control : {"透明标签11", "图片框8", "图片框2", "透明标签3", "透明标签状态"}) {
    world.ui.Press(main.Id(), control);
  }
  EXPECT_TRUE(world.log.empty());
}

TEST(BoxNoticeTest, BoxComesFirstThenTheForumBoard) {
  FakeWorld world;
  const Form main = world.Start();
  world.ui.Click(main.Id(), "特定按钮6");
  const EffectLog expected = {
      "box:温馨提示：|BOX打碟将在下个版本正式发布，目前作者还在了解BOX，如果你懂可以在论坛发帖联系我！",
      "open:" + kRoot + "forum.php?mod=forumdisplay&fid=49"};
  EXPECT_EQ(world.log, expected);
}

struct SecondaryCase {
  std::string button, windowId;
};

class SecondaryWindowTest : public testing::TestWithParam<SecondaryCase> {};

TEST_P(SecondaryWindowTest, HidesMainWhileOpenAndGivesItBackOnClose) {
  FakeWorld world;
  const Form main = world.Start();
  world.ui.Click(main.Id(), GetParam().button);
  const WindowId secondary = world.ui.Find(GetParam().windowId);
  ASSERT_NE(secondary, kNoWindow);
  EXPECT_FALSE(world.ui.IsWindowShown(main.Id()));
  EXPECT_TRUE(world.ui.IsWindowShown(secondary));

  // The main window's timers keep running behind the secondary window.
  world.ui.Advance(3000);
  EXPECT_EQ(main.Position("进度条2"), 1);

  world.ui.Close(secondary);
  EXPECT_TRUE(world.ui.IsWindowShown(main.Id()));
  EXPECT_FALSE(world.ui.Exists(secondary));

  // A second opening starts again from the layout's values.
  world.ui.Click(main.Id(), GetParam().button);
  EXPECT_NE(world.ui.Find(GetParam().windowId), kNoWindow);
}

INSTANTIATE_TEST_SUITE_P(Table, SecondaryWindowTest,
                         testing::Values(SecondaryCase{"特定按钮4", "piano"},
                                         SecondaryCase{"特定按钮5", "voice"}),
    test::NamedBy([](const SecondaryCase& c) { return c.windowId; }));

TEST(ExitTest, CleanUpRunsOnceLastRegisteredFirst) {
  FakeWorld world;
  std::vector<int> order;
  world.app.CleanUp().Register([&] { order.push_back(1); });
  world.app.CleanUp().Register([&] { order.push_back(2); });
  EXPECT_EQ(world.app.Run(), 0);
  world.app.CleanUp().Run();
  EXPECT_EQ(order, (std::vector<int>{2, 1}));
}

}  // namespace
}  // namespace zv
