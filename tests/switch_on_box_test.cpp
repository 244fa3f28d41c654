// The switch-on box's text from the keys the system refused.
#include "quicksend/switch_on_box.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

constexpr SwitchOnTexts kTexts = {"全部开启", "其余开启", "全部占用"};

struct BoxCase {
  std::string name;
  std::vector<std::string> refused;
  std::string text;
};

class SwitchOnBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(SwitchOnBoxTest, NamesTheRefusedKeysInTheirOrder) {
  EXPECT_EQ(SwitchOnBoxText(GetParam().refused, 4, kTexts), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SwitchOnBoxTest,
    testing::Values(
        BoxCase{"noneRefused", {}, "全部开启"},
        BoxCase{"oneRefused", {"F5"}, "以下按键已被其他程序占用，无法使用：F5。其余开启"},
        BoxCase{"allButOne",
                {"F12", "1", "Q"},
                "以下按键已被其他程序占用，无法使用：F12、1、Q。其余开启"},
        // Telling the host the keys are on when none is would be a failure shown as success.
        BoxCase{"allRefused", {"F1", "F2", "F3", "F4"}, "全部占用"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zv
