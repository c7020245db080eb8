#include "shell/option_mgr.h"

#include "shell/ini_file.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(OptionMgr, LoadTakesPresentKeysOnly) {
    CIniFile ini = CIniFile::FromText("[editor]\nautoinput=0\nQLDGrid=1\nShowBuildDiag=\nOpenTMOnline=5\n"
                                      "[Other]\nFBDGrid=1\n");
    COptionMgr mgr;
    mgr.Load(ini);
    EXPECT_EQ(mgr.GetOption(OPT_AUTO_INPUT), 0);
    EXPECT_EQ(mgr.GetOption(OPT_QLD_GRID), 1);
    EXPECT_EQ(mgr.GetOption(OPT_FBD_GRID), 0);        // the key sits in another section
    EXPECT_EQ(mgr.GetOption(OPT_SHOW_BUILD_DIAG), 1); // empty counts as absent
    EXPECT_EQ(mgr.GetOption(OPT_OPEN_TM_ONLINE), 1);  // any non-zero value is on
    EXPECT_EQ(mgr.GetOption(OPT_AUTO_INDENT), 1);
}

TEST(OptionMgr, SaveWritesEveryOptionAndLoadsBack) {
    COptionMgr mgr;
    EXPECT_TRUE(mgr.SetOption(OPT_FBD_NO_SNAP, 1));
    EXPECT_TRUE(mgr.Toggle(OPT_AUTO_INDENT));
    EXPECT_TRUE(mgr.SetOption(OPT_TREE_DBLCLK_OPEN_DIAG, 7));
    EXPECT_FALSE(mgr.SetOption(15, 1));
    EXPECT_EQ(mgr.GetOption(15), 0);

    CIniFile ini = CIniFile::FromText("; kept\n[Editor]\nAutoIndent=1\n");
    mgr.Save(ini);
    EXPECT_EQ(ini.Text(), "; kept\n[Editor]\nAutoIndent=0\nAutoInput=1\nFBDNoAutoConnect=1\nFBDNoSnap=1\n"
                          "FBDGrid=0\nQLDGrid=0\nShowLDValue=0\nTreeSortAlpha=0\nTreeDisplayFBParam=0\n"
                          "TreeDblClkOpenDiag=1\nShowBuildDiag=1\nShowLibWarning=1\nDblClkSetBkp=1\n"
                          "OpenTMOnline=0\n");
    COptionMgr again;
    again.Load(ini);
    for (const CH2Option& o : mgr.Options())
        EXPECT_EQ(again.GetOption(o.Number()), o.Value()) << o.Key();
}

} // namespace
} // namespace rux
