// The menu dialogue: exits, unsupported choices and answers that are not numbers.
#include "installer_fixture.h"

namespace {

struct MenuCase {
    const char* name;
    const char* answers;
    int menusShown;  // all but the last end in "Not supported interface"
};

void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuTest : public InstallerTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTest, EndsWithExitByUser)
{
    const MenuCase& c = GetParam();
    std::string expected;
    for (int i = 1; i < c.menusShown; ++i)
        expected += MenuText() + "Not supported interface\n";
    expected += MenuText() + "Exit by user.\n";

    const ChildResult run = RunInstaller(c.answers);
    EXPECT_EQ(0, run.exitStatus);
    EXPECT_EQ(expected, run.out);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MenuTest,
    ::testing::Values(MenuCase{"Zero", "0\n", 1},
                      MenuCase{"NotANumber", "abc\n", 1},
                      MenuCase{"EndOfInput", "", 1},
                      MenuCase{"UnsupportedThenZero", "7\n0\n", 2},
                      // After an unsupported choice a non-number or the end of
                      // input ends the dialogue instead of repeating the menu.
                      MenuCase{"NegativeThenNotANumber", "-1\nabc\n", 2},
                      MenuCase{"UnsupportedThenEndOfInput", "5\n", 2},
                      // The choice is the whole line: "4.9" is no 4 with
                      // ".9" left over for the address prompt.
                      MenuCase{"NumberWithMoreOnTheLine", "4.9\n", 1}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

}  // namespace
