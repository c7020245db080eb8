#include "shell/window_placement.h"

#include "shell/ini_file.h"
#include "shell/shell_settings.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(WindowPlacement, OnlyExactlyTenNumbersCount) {
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"0,1,-1,-1,-8,-31,120,80,920,680", true},
        {" 2 , 3 ,-1,-1, -8 ,-31,120,80,920, 680 ", true},
        {"0,1,-1,-1,-8,-31,120,80,920", false},       // nine
        {"0,1,-1,-1,-8,-31,120,80,920,680,7", false}, // eleven
        {"", false},
        {"0,1,-1,-1,-8,-31,120,80,920,", false},
        {"0,1,-1,-1,-8,-31,120,80,920,68x", false},
        {"-1,1,-1,-1,-8,-31,120,80,920,680", false}, // flags are unsigned
        {"0,+1,-1,-1,-8,-31,120,80,920,680", false}, // and so is the show state
        {"0,1,-1,-1,-8,-31,120,80,920,99999999999", false},
        {"4294967295,1,0,0,0,0,0,0,0,0", true},
        {"0;1;-1;-1;-8;-31;120;80;920;680", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CWindowPlacement::Parse(c.text).has_value(), c.valid) << c.text;

    auto p = CWindowPlacement::Parse("2,3,-1,-2,-8,-31,120,80,920,680");
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, (CWindowPlacement{2, 3, -1, -2, -8, -31, 120, 80, 920, 680}));
}

TEST(WindowPlacement, FormatRoundTrips) {
    CWindowPlacement p{0, 3, -1, -1, -8, -31, 10, 20, 1034, 788};
    EXPECT_EQ(p.Format(), "0,3,-1,-1,-8,-31,10,20,1034,788");
    EXPECT_EQ(CWindowPlacement::Parse(p.Format()), p);
    CWindowPlacement big{4294967295u, 1, -2147483647 - 1, 2147483647, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CWindowPlacement::Parse(big.Format()), big);
}

TEST(WindowPlacement, DialogPlacementsLiveInSectionSettings) {
    CIniFile ini = CIniFile::FromText("[Settings]\nFindDlg=0,1,-1,-1,-1,-1,5,6,300,200\nGotoDlg=1,2,3\n");
    EXPECT_EQ(CShellSettings::LoadDialogPlacement(ini, "finddlg")->right, 300);
    EXPECT_FALSE(CShellSettings::LoadDialogPlacement(ini, "GotoDlg"));
    EXPECT_FALSE(CShellSettings::LoadDialogPlacement(ini, "Other"));
    CShellSettings::SaveDialogPlacement(ini, "GotoDlg", CWindowPlacement{0, 1, 0, 0, 0, 0, 1, 2, 3, 4});
    EXPECT_EQ(ini.GetString("Settings", "GotoDlg", ""), "0,1,0,0,0,0,1,2,3,4");
}

} // namespace
} // namespace rux
