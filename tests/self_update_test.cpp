// The update window and the download on the fake platform: settings handed to the transfer,
// the figures of each tick, and what the end of the transfer leads to.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "case_name.h"
#include "fake_world.h"
#include "online/update_target.h"
#include "test_programs.h"

namespace zv {
namespace {

const std::string kDirectory = "C:\\Program Files\\Zanvoro";
const std::string kBoxDone = "box(i):提示|下载完成，请手动删除旧版本！软件自动运行新版本！";
const std::string kBoxFailed = "box(i):提示|更新下载失败，请稍后再试，或到官方网站下载新版本！";

// A program whose version check has opened the update window.
struct UpdatingWorld : FakeWorld {
  Form main;
  WindowId update = kNoWindow;

  explicit UpdatingWorld(const std::string& document = "2---http://dl.example/new.exe---新版",
                         std::optional<EcPublicKey> key = std::nullopt)
      : FakeWorld(key), main(ui, kNoWindow) {
    http.Serve(SiteUrl("111.txt"), document);
    main = Start();
    ui.Advance(100);
    update = ui.Find("update");
  }
  Form Update() const { return Form(const_cast<FakeUiHost&>(ui), update); }
  std::string Pane(int n) const { return ui.PaneText(update, "状态条1", n); }
  TransferOutcome Whole(const std::string& path, int64_t bytes) const {
    return TransferOutcome{true, path, bytes, bytes};
  }
};

TEST(SelfUpdateTest, WindowStandsOverTheMainWindowAndTheTransferGetsItsSettings) {
  UpdatingWorld world;
  ASSERT_NE(world.update, kNoWindow);
  const ScreenRect rect = world.ui.WindowRect(world.update);
  EXPECT_EQ(rect.left, 150);
  EXPECT_EQ(rect.top, 530);
  EXPECT_EQ(rect.width, 442);
  EXPECT_EQ(rect.height, 59);

  ASSERT_EQ(world.transfer.starts.size(), 1u);
  const TransferSettings& s = world.transfer.starts[0];
  EXPECT_EQ(s.source, "http://dl.example/new.exe");
  EXPECT_EQ(s.target, kDirectory + "\\新版.exe");
  EXPECT_EQ(s.parts, 5);
  EXPECT_EQ(s.connectTimeoutMs, 5000);
  EXPECT_EQ(s.commandTimeoutMs, 5000);
  EXPECT_EQ(s.receiveTimeoutMs, 10000);
  EXPECT_EQ(s.stopWaitMs, 1000);
  EXPECT_EQ(s.blockBytes, 10240);
  EXPECT_EQ(world.Update().Interval("时钟1"), 500);
  // The update window is modal on top of the check, which has gone on to the MC page.
  EXPECT_TRUE(world.main.IsShown("图片框3"));
}

TEST(SelfUpdateTest, AnswersEveryNotificationWithZero) {
  UpdatingWorld world;
  EXPECT_EQ(world.transfer.Notify({TransferCode::TargetExists, 0, {}}), 0);
  EXPECT_EQ(world.transfer.Notify({static_cast<TransferCode>(7), 0, {}}), 0);
  EXPECT_EQ(world.transfer.ReportSize(100), 0);
}

struct TickCase {
  std::string name;
  int64_t size;  // 0: never reported
  int64_t before, lastTick;
  std::string speed, received, percent;
};

class UpdateTickTest : public testing::TestWithParam<TickCase> {};

TEST_P(UpdateTickTest, PanesShowRateAmountAndPercentage) {
  const TickCase& c = GetParam();
  UpdatingWorld world;
  if (c.size > 0) world.transfer.ReportSize(c.size);
  world.transfer.Receive(c.before);
  world.ui.Advance(500);
  world.transfer.Receive(c.lastTick);
  world.ui.Advance(500);
  EXPECT_EQ(world.Pane(0), "新版");
  EXPECT_EQ(world.Pane(1), "速度:" + c.speed + "kb/秒");
  EXPECT_EQ(world.Pane(2), "已下载:" + c.received + "KB");
  EXPECT_EQ(world.Pane(3), "百分比:" + c.percent + "%");
  EXPECT_EQ(world.Update().Text("透明标签1"), c.percent + "%");
  EXPECT_EQ(world.Update().Position("进度条1"), std::stoi(c.percent));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateTickTest,
    testing::Values(TickCase{"wholeMebibyte", 1048576, 1047552, 1024, "2", "1024", "100"},
                    TickCase{"thousandBytesInATick", 1048576, 0, 1000, "1.95", "0.98", "0"},
                    TickCase{"halfWay", 2000, 0, 1000, "1.95", "0.98", "50"},
                    TickCase{"percentIsCutNotRounded", 1000, 0, 999, "1.95", "0.98", "99"},
                    TickCase{"fractionKept", 1 << 20, 0, 12800, "25", "12.5", "1"},
                    TickCase{"sizeNeverReported", 0, 1572864, 0, "0", "1536", "0"},
                    TickCase{"nothingYet", 0, 0, 0, "0", "0", "0"}),
    [](const auto& info) { return info.param.name; });

TEST(SelfUpdateTest, WholeFileIsAnnouncedStartedAndThenTheProgramEnds) {
  UpdatingWorld world;
  world.processes.endsAtOnce = false;
  const std::string saved = kDirectory + "\\新版.exe";
  world.transfer.End(world.Whole(saved, 4096));
  EXPECT_TRUE(world.log.empty()) << "nothing happens on the transfer's worker";

  world.dispatcher.RunPosted();
  const std::vector<std::string> expected = {kBoxDone,
                                             "run:" + saved + "|\"" + saved + "\"|1"};
  EXPECT_EQ(world.log, expected);
  EXPECT_TRUE(world.signatures.Checks().empty()) << "a build without a key checks nothing";
  EXPECT_EQ(world.Update().Interval("时钟1"), 0);
  // This program waits for the new one before it ends.
  EXPECT_TRUE(world.ui.Exists(world.main.Id()));

  world.processes.EndAll();
  world.dispatcher.RunPosted();
  EXPECT_FALSE(world.ui.Exists(world.main.Id()));
  EXPECT_FALSE(world.ui.Exists(world.update));
}

TEST(SelfUpdateTest, StartsTheFileWhereTheTransferStoredIt) {
  UpdatingWorld world;
  const std::string elsewhere = kDirectory + "\\新版 (2).exe";
  world.transfer.End(world.Whole(elsewhere, 10));
  world.dispatcher.RunPosted();
  ASSERT_EQ(world.log.size(), 2u);
  EXPECT_EQ(world.log[1], "run:" + elsewhere + "|\"" + elsewhere + "\"|1");
}

TEST(SelfUpdateTest, ProgramThatCannotBeStartedStillEndsThisOne) {
  UpdatingWorld world;
  world.processes.startFails = true;
  world.transfer.End(world.Whole(kDirectory + "\\新版.exe", 10));
  world.dispatcher.RunPosted();
  EXPECT_EQ(world.log.size(), 2u);
  EXPECT_FALSE(world.ui.Exists(world.main.Id()));
}

TEST(SelfUpdateTest, WindowClosedMidDownloadStillFinishesTheUpdate) {
  UpdatingWorld world;
  world.transfer.Receive(100);
  world.ui.Close(world.update);
  EXPECT_TRUE(world.main.IsShown("图片框3"));
  world.ui.Advance(2000);
  world.transfer.End(world.Whole(kDirectory + "\\新版.exe", 100));
  world.dispatcher.RunPosted();
  ASSERT_EQ(world.log.size(), 2u);
  EXPECT_EQ(world.log[0], kBoxDone);
  EXPECT_FALSE(world.ui.Exists(world.main.Id()));
}

struct BrokenCase {
  std::string name;
  TransferOutcome outcome;
};

class BrokenDownloadTest : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDownloadTest, IsReportedAsFailedAndStartsNothing) {
  UpdatingWorld world;
  world.transfer.Receive(GetParam().outcome.received);
  world.transfer.End(GetParam().outcome);
  world.dispatcher.RunPosted();
  EXPECT_EQ(world.log, std::vector<std::string>{kBoxFailed});
  EXPECT_FALSE(world.ui.Exists(world.update));
  EXPECT_TRUE(world.ui.Exists(world.main.Id()));
  EXPECT_TRUE(world.main.IsShown("图片框3"));
  // The program goes on as usual.
  world.ui.Advance(300000);
  EXPECT_EQ(world.main.Interval("时钟2"), 3000);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenDownloadTest,
    testing::Values(BrokenCase{"cutOff", {false, "", 500, 1000}},
                    BrokenCase{"nothingArrived", {false, "", 0, -1}},
                    BrokenCase{"wholeButNotStored", {true, "", 1000, 1000}}),
    [](const auto& info) { return info.param.name; });

struct RefusedCase {
  std::string name;
  std::string document;
};

class RefusedUpdateTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedUpdateTest, NothingIsFetchedAndTheUserIsTold) {
  UpdatingWorld world(GetParam().document);
  ASSERT_NE(world.update, kNoWindow);
  EXPECT_TRUE(world.transfer.starts.empty());
  world.dispatcher.RunPosted();
  EXPECT_EQ(world.log, std::vector<std::string>{kBoxFailed});
  EXPECT_FALSE(world.ui.Exists(world.update));
  EXPECT_TRUE(world.main.IsShown("图片框3"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedUpdateTest,
    testing::Values(RefusedCase{"parentDirectory", "2---http://a/b.exe---..\\..\\Windows\\x"},
                    RefusedCase{"otherDrive", "2---http://a/b.exe---D:x"},
                    RefusedCase{"slash", "2---http://a/b.exe---a/b"},
                    RefusedCase{"deviceName", "2---http://a/b.exe---con"},
                    RefusedCase{"lineBreak", "2---http://a/b.exe---名字\r\n"},
                    RefusedCase{"blankAddress", "2---　 ---名字"}),
    [](const auto& info) { return info.param.name; });

// A build that trusts a key: the downloaded file is checked against the document's fourth
// field, and its own version against the first, before anything is started.
const EcPublicKey kTrustedKey = [] {
  EcPublicKey key{};
  for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(i + 1);
  return key;
}();
const std::string kSignature = std::string(64, '1') + std::string(64, '2');
const std::string kSaved = kDirectory + "\\新版.exe";
// A program whose version resource is a release 7's.
const std::string kRelease7 = test::TestProgram("release_7");

struct SignedWorld : UpdatingWorld {
  explicit SignedWorld(const std::string& afterName = "---" + kSignature,
                       const std::string& announced = "7")
      : UpdatingWorld(announced + "---http://dl.example/new.exe---新版" + afterName, kTrustedKey) {
    files.files[kSaved] = kRelease7;
  }
  // The download arrives whole; the check runs on its worker and reports back.
  void Download() {
    transfer.End(Whole(kSaved, 13));
    dispatcher.RunPosted();
    ASSERT_TRUE(workers.Settle());
    dispatcher.RunPosted();
  }
};

TEST(SignedUpdateTest, AnnouncedReleaseSignedWithTheTrustedKeyIsStartedAfterItsCheck) {
  SignedWorld world;
  world.processes.endsAtOnce = false;
  world.signatures.Hold();
  world.transfer.End(world.Whole(kSaved, 13));
  world.dispatcher.RunPosted();
  EXPECT_TRUE(world.log.empty()) << "nothing is announced or started before the check is back";

  world.signatures.Release();
  ASSERT_TRUE(world.workers.Settle());
  world.dispatcher.RunPosted();
  const std::vector<std::string> expected = {kBoxDone, "run:" + kSaved + "|\"" + kSaved + "\"|1"};
  EXPECT_EQ(world.log, expected);
  const std::vector<FakeSignatureChecker::Check> checks = world.signatures.Checks();
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0].bytes, kRelease7);
  EXPECT_EQ(checks[0].key, kTrustedKey);
  EXPECT_EQ(checks[0].signature[0], 0x11);
  EXPECT_EQ(checks[0].signature[63], 0x22);
  EXPECT_NE(checks[0].thread, std::this_thread::get_id()) << "the GUI thread never reads the file";
  EXPECT_EQ(world.files.files.count(kSaved), 1u);
}

struct RefusedFileCase {
  std::string name;
  std::string announced;  // the document's first field
  std::string afterName;  // what the document holds after the software name
  bool signatureValid;
  bool checkerAsked;  // the field reads as a signature and the file could be read
  bool unreadable = false;
};

class RefusedFileTest : public testing::TestWithParam<RefusedFileCase> {};

TEST_P(RefusedFileTest, IsRefusedLikeABrokenDownloadAndTheFileGoes) {
  const RefusedFileCase& c = GetParam();
  SignedWorld world(c.afterName, c.announced);
  world.signatures.valid = c.signatureValid;
  if (c.unreadable) world.files.unreadable.insert(kSaved);
  world.Download();
  EXPECT_EQ(world.log, std::vector<std::string>{kBoxFailed});
  EXPECT_EQ(world.signatures.Checks().size(), c.checkerAsked ? 1u : 0u);
  EXPECT_EQ(world.files.files.count(kSaved), 0u);
  EXPECT_FALSE(world.ui.Exists(world.update));
  EXPECT_TRUE(world.main.IsShown("图片框3"));
  world.ui.Advance(300000);
  EXPECT_EQ(world.main.Interval("时钟2"), 3000);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedFileTest,
    testing::Values(RefusedFileCase{"wrongSignature", "7", "---" + kSignature, false, true},
                    // What every document looked like before updates were signed.
                    RefusedFileCase{"threeFields", "7", "", true, false},
                    RefusedFileCase{"emptyFourthField", "7", "------", true, false},
                    RefusedFileCase{"upperCase", "7", "---" + std::string(128, 'A'), true, false},
                    // The maker's own release 7, served as release 8.
                    RefusedFileCase{"otherReleaseThanAnnounced", "8", "---" + kSignature, true,
                                    true},
                    RefusedFileCase{"unreadable", "7", "---" + kSignature, true, false, true}),
    [](const auto& info) { return info.param.name; });

TEST(SignedUpdateTest, IncompleteDownloadIsNeverChecked) {
  SignedWorld world;
  world.transfer.End({false, "", 5, 13});
  world.dispatcher.RunPosted();
  ASSERT_TRUE(world.workers.Settle());
  world.dispatcher.RunPosted();
  EXPECT_EQ(world.log, std::vector<std::string>{kBoxFailed});
  EXPECT_TRUE(world.signatures.Checks().empty());
}

TEST(SignedUpdateTest, ExitWhileTheCheckIsDueStartsNothing) {
  SignedWorld world;
  world.signatures.Hold();
  world.transfer.End(world.Whole(kSaved, 13));
  world.dispatcher.RunPosted();
  // The exit clean-up waits for the check, so the answer comes while it runs.
  std::thread answer([&world] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    world.signatures.Release();
  });
  world.app.CleanUp().Run();
  answer.join();
  world.dispatcher.RunPosted();
  for (const std::string& effect : world.log) {
    EXPECT_TRUE(effect.rfind("box", 0) != 0 && effect.rfind("run:", 0) != 0) << effect;
  }
}

TEST(SelfUpdateTest, AddressIsTrimmedOfSpacesButNotOfTabs) {
  UpdatingWorld spaces("2--- 　http://a/b.exe　 ---x");
  ASSERT_EQ(spaces.transfer.starts.size(), 1u);
  EXPECT_EQ(spaces.transfer.starts[0].source, "http://a/b.exe");
  UpdatingWorld tab("2---\thttp://a/b.exe---x");
  ASSERT_EQ(tab.transfer.starts.size(), 1u);
  EXPECT_EQ(tab.transfer.starts[0].source, "\thttp://a/b.exe");
}

TEST(SelfUpdateTest, EmptyNameGivesDotExeInTheCurrentDirectory) {
  // Two markers at the end: the third field is there and empty.
  UpdatingWorld world("2---http://a/b.exe------");
  ASSERT_EQ(world.transfer.starts.size(), 1u);
  EXPECT_EQ(world.transfer.starts[0].target, kDirectory + "\\.exe");
}

TEST(SelfUpdateTest, ExitStopsTheTransferAndNothingFollows) {
  UpdatingWorld world;
  world.app.CleanUp().Run();
  EXPECT_EQ(world.transfer.stops, 1);
  EXPECT_FALSE(world.transfer.Running());
}

struct StemCase {
  std::string stem;
  bool safe;
};

class FileStemTest : public testing::TestWithParam<StemCase> {};

TEST_P(FileStemTest, OnlyPlainNamesInsideTheDirectory) {
  EXPECT_EQ(IsSafeFileStem(GetParam().stem), GetParam().safe) << GetParam().stem;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileStemTest,
    testing::Values(StemCase{"Zanvoro助手", true}, StemCase{"", true}, StemCase{"v2.0 beta", true},
                    StemCase{"乗亅", true},  // trail bytes 5C and 7C inside characters
                    StemCase{"a\\b", false}, StemCase{"..", false}, StemCase{".", false},
                    StemCase{"a:b", false}, StemCase{"a*b", false}, StemCase{"a?b", false},
                    StemCase{"a\"b", false}, StemCase{"a<b>", false}, StemCase{"a|b", false},
                    StemCase{"a\tb", false}, StemCase{"NUL", false}, StemCase{"com1", false},
                    StemCase{"lpt9.txt", false}, StemCase{"console", true},
                    StemCase{"名\xC3", false}),
    test::NamedBy([](const StemCase& c) { return c.stem; }));

struct TrimCase {
  std::string text, trimmed;
};

class TrimTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimTest, RemovesSpacesAndFullWidthSpacesAtBothEnds) {
  EXPECT_EQ(TrimBlanks(GetParam().text), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(Table, TrimTest,
                         testing::Values(TrimCase{"  a b  ", "a b"}, TrimCase{"　a　", "a"},
                                         TrimCase{"　 　", ""}, TrimCase{"\ta\n", "\ta\n"},
                                         TrimCase{"数据　", "数据"},
                                         // A1 A1 straddling two characters is not a space.
                                         TrimCase{"\xB0\xA1\xA1\xA1", "\xB0\xA1"}),
    test::NamedBy([](const TrimCase& c) { return c.text; }));

}  // namespace
}  // namespace zv
