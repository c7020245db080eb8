#include "shell/no_bracket_fb_list.h"

#include "shell/ini_file.h"
#include "shell/temp_dir.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(NoBracketFbList, ReadsNumberedKeysUntilTheFirstGap) {
    struct Case {
        const char* text;
        std::set<std::string> names;
    } cases[] = {
        {"", {}},
        {"[NoBracketFBs]\n1=abs\n2=Limit\n4=Never\n", {"ABS", "LIMIT"}},
        {"[nobracketfbs]\n2=Two\n", {}},
        {"[NoBracketFBs]\n1=One\n2=\n3=Three\n", {"ONE"}},
        {"[NoBracketFBs]\n1= spaced \n2=mIxEd_9\n", {"SPACED", "MIXED_9"}},
        {"[Other]\n1=X\n", {}},
    };
    for (const Case& c : cases) {
        CNoBracketFbList list;
        list.Load(CIniFile::FromText(c.text));
        EXPECT_EQ(list.Names(), c.names) << c.text;
    }
}

TEST(NoBracketFbList, IsBracketFbIgnoresCase) {
    CNoBracketFbList list;
    list.Load(CIniFile::FromText("[NoBracketFBs]\n1=Delay\n2=WDOG\n"));
    EXPECT_FALSE(list.IsBracketFb("DELAY"));
    EXPECT_FALSE(list.IsBracketFb("delay"));
    EXPECT_FALSE(list.IsBracketFb("wDoG"));
    EXPECT_TRUE(list.IsBracketFb("DELAYS"));
    EXPECT_TRUE(list.IsBracketFb(""));
    EXPECT_EQ(CNoBracketFbList::ToUpperAscii("a\xe9z"), "A\xe9Z");

    // Loading again replaces the list.
    list.Load(CIniFile::FromText(""));
    EXPECT_TRUE(list.IsBracketFb("DELAY"));
}

TEST(NoBracketFbList, ProductDirectoryFile) {
    test::CTempDir dir;
    test::CScopedShellEnv home("RUXEDIT_HOME", dir.Path().c_str());
    CNoBracketFbList list;
    list.LoadFromProductDir(); // no isa.lib there
    EXPECT_TRUE(list.Names().empty());
    dir.Write("isa.lib", "[NoBracketFBs]\r\n1=sin\r\n");
    list.LoadFromProductDir();
    EXPECT_FALSE(list.IsBracketFb("SIN"));
}

TEST(NoBracketFbList, ShippedFileLoads) {
    CNoBracketFbList list;
    list.Load(CIniFile(std::string(RUX_SOURCE_DIR) + "/data/isa.lib"));
    EXPECT_GE(list.Names().size(), 3u);
    for (const std::string& name : list.Names())
        EXPECT_EQ(name, CNoBracketFbList::ToUpperAscii(name));
}

} // namespace
} // namespace rux
