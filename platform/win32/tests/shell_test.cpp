// Which texts the shell may open as links: web addresses only, never a path or another scheme
// the shell would run or hand to some other program.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_shell.h"
#include "tests/case_name.h"

namespace zv::win32 {
namespace {

struct Case {
  std::string url;
  bool opens;
};

class WebAddress : public testing::TestWithParam<Case> {};

TEST_P(WebAddress, OnlyHttpAndHttps) { EXPECT_EQ(IsWebAddress(GetParam().url), GetParam().opens); }

INSTANTIATE_TEST_SUITE_P(
    Links, WebAddress,
    testing::Values(Case{"http://www.zanvoro.com/", true},
                    Case{"http://127.0.0.1:8080/forum.php?mod=forumdisplay&fid=49", true},
                    Case{"HTTPS://t.zanvoro.com/1", true},
                    Case{"http://", false},
                    Case{"www.zanvoro.com/forum.php", false},
                    Case{"C:\\Windows\\System32\\calc.exe", false},
                    Case{"file:///C:/Windows/System32/calc.exe", false},
                    Case{"javascript:alert(1)", false},
                    Case{" http://www.zanvoro.com/", false},
                    Case{std::string("http://a\0.exe", 13), false},
                    Case{"", false}),
    test::NamedBy([](const Case& c) { return c.url; }));

}  // namespace
}  // namespace zv::win32
