// Choosing the data folder from what the machine offers, and the program keeping every file in
// the folder chosen.
#include "base/data_paths.h"

#include <gtest/gtest.h>

#include "base/gbk_text.h"
#include "fake_world.h"

namespace zv {
namespace {

const std::string kAppData = "C:\\Users\\主播\\AppData\\Roaming";
const std::string kOnD = "D:\\Zanvoro助手";
const std::string kInAppData = kAppData + "\\Zanvoro助手";

struct ChoiceCase {
  std::string name;
  DataFolderFacts facts;
  std::string chosen;
};

class ChooseDataFolderTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseDataFolderTest, KeepsDWhereItCanHoldTheData) {
  EXPECT_EQ(ChooseDataFolder(GetParam().facts), GetParam().chosen);
}

// Fields: fixed, existed, created, writable, application data.
INSTANTIATE_TEST_SUITE_P(
    Table, ChooseDataFolderTest,
    testing::Values(
        ChoiceCase{"fixedDWithTheFolder", {true, true, false, true, kAppData}, kOnD},
        ChoiceCase{"fixedDFolderJustMade", {true, false, true, true, kAppData}, kOnD},
        // A stick or card that already holds the folder keeps being used while writable.
        ChoiceCase{"removableDWithTheFolder", {false, true, false, true, kAppData}, kOnD},
        ChoiceCase{
            "noDriveOrAnEmptyCardReader", {false, false, false, false, kAppData}, kInAppData},
        ChoiceCase{"madeOnARemovableDrive", {false, false, true, true, kAppData}, kInAppData},
        ChoiceCase{"fixedDReadOnly", {true, false, false, false, kAppData}, kInAppData},
        ChoiceCase{"folderThereButNotWritable", {true, true, false, false, kAppData}, kInAppData},
        ChoiceCase{"noApplicationDataEither", {false, false, false, false, ""}, kOnD}),
    [](const auto& info) { return info.param.name; });

// The whole program on a machine whose data folder is under the application data: start-up
// makes it, saves land in it and come back at the next start; D: is never touched.
TEST(DataPathsTest, TheProgramKeepsItsFilesInTheChosenFolder) {
  const DataPaths paths(kInAppData);
  FakeFileSystem disk;
  disk.drives = {"C:"};
  disk.directories = {"C:\\Users", "C:\\Users\\主播", "C:\\Users\\主播\\AppData", kAppData};
  {
    FakeWorld world(BuiltInUpdateKey(), paths);
    world.files = disk;
    const Form main = world.Start();
    EXPECT_TRUE(world.files.DirectoryExists(kInAppData));
    main.SetText("快捷编辑框1", "欢迎");
    world.ui.Click(main.Id(), "保存配置按钮");
    disk = world.files;
  }
  EXPECT_EQ(disk.files.count(paths.quickSendConfig), 1u);
  FakeWorld again(BuiltInUpdateKey(), paths);
  again.files = disk;
  EXPECT_EQ(again.Start().Text("快捷编辑框1"), "欢迎");
}

}  // namespace
}  // namespace zv
