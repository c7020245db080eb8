// The user's settings: colours, font and tabs, the style files that hold named sets of them, and the
// editor's option flags.
#include "shell/setting.h"

#include "shell/ini_file.h"
#include "shell/option_mgr.h"
#include "shell/style_file.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

constexpr ColorRef kHighlight = 0x336699;

struct ColorRow {
    int number;
    const char* key;
    ColorRef whenAbsent;
    ColorRef def;
};

const ColorRow kTable[] = {
    {1, "ColorRungCmt", 0x008000, 0x008000},
    {3, "ColorFB", 0x00FF00, 0x00FF00},
    {2, "ColorSelbox", 0xC8C8C8, 0xC8C8C8},
    {4, "ColorCmt", 0x7D7D7D, 0x007D00},
    {6, "ColorIdt", 0, 0},
    {7, "ColorKwd", 0, 0xC80000},
    {9, "ColorTxt", 0, 0},
    {10, "ColorErr", 0x0000FF, 0x0000FF},
    {8, "ColorRdo", 0, 0},
    {11, "ColorRUXSel", 0xFFFF00, 0xFFFF00},
    {13, "ColorTMSel", kHighlight, kHighlight},
};

TEST(Setting, EmptyFileGivesWhenAbsentValuesAndDefaultButtonGivesDefaults) {
    CSetting s(kHighlight);
    s.ResetToDefaults(); // as the frame does before loading
    s.Load(CIniFile::FromText("[Other]\nColorCmt=1\n"));
    for (const ColorRow& row : kTable)
        EXPECT_EQ(s.GetColor(row.number), row.whenAbsent) << row.key;
    EXPECT_EQ(s.GetColor(5), 0u) << "numbers outside the table are no colour";
    EXPECT_EQ(s.GetColor(12), 0u);
    EXPECT_FALSE(s.SetColor(12, 1));
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(s.Font(), (CFontDesc{"courier", 100, 400, false}));
    EXPECT_EQ(s.TabSize(), 2);
    EXPECT_EQ(s.TabHandlingMode(), TAB_INSERT_SPACES);

    s.RememberColors();
    s.SetColorsToDefault();
    EXPECT_EQ(s.GetColor(kColourComment), 0x007D00u);
    EXPECT_EQ(s.GetColor(kColourKeyword), 0xC80000u);
    s.RestoreColors(); // Cancel after Default
    EXPECT_EQ(s.GetColor(kColourComment), 0x7D7D7Du);
    EXPECT_EQ(s.GetColor(kColourKeyword), 0u);
}

TEST(Setting, CancelRestoresEveryChangeOkKeepsThem) {
    CSetting s;
    s.RememberColors();
    s.SetColor(kColourText, 0x111111);
    s.SetColor(kColourError, 0x222222);
    s.SetColor(kColourText, 0x333333);
    s.RestoreColors();
    EXPECT_EQ(s.GetColor(kColourText), 0u);
    EXPECT_EQ(s.GetColor(kColourError), 0x0000FFu);

    // OK: the dialog opens again later and remembers the new values.
    s.SetColor(kColourText, 0x444444);
    s.RememberColors();
    s.SetColor(kColourText, 0x555555);
    s.RestoreColors();
    EXPECT_EQ(s.GetColor(kColourText), 0x444444u);
}

TEST(Setting, LoadReadsFontTabsAndGuardsSizes) {
    struct Case {
        const char* text;
        CFontDesc font;
        int tabSize;
        int tabHandling;
    } cases[] = {
        {"[RUXCOLOR]\nFontName=Lucida "
         "Console\nFontSize=120\nFontWeight=700\nFontItalic=1\nTabSize=6\nCvrtTab=1\n",
         {"Lucida Console", 120, 700, true},
         6,
         1},
        {"[RUXCOLOR]\nFontSize=10\n", {"courier", 100, 400, false}, 2, 0},
        {"[RUXCOLOR]\nFontSize=11\n", {"courier", 11, 400, false}, 2, 0},
        {"[RUXCOLOR]\nFontSize=-5\nTabSize=0\n", {"courier", 100, 400, false}, 2, 0},
        {"[RUXCOLOR]\nFontName=\nTabSize=8\nCvrtTab=0\n", {"courier", 100, 400, false}, 8, 0},
        {"[RUXCOLOR]\nFontName=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\n",
         {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 100, 400, false}, 2, 0},
    };
    for (const Case& c : cases) {
        CSetting s;
        s.Load(CIniFile::FromText(c.text));
        EXPECT_EQ(s.Font(), c.font) << c.text;
        EXPECT_EQ(s.TabSize(), c.tabSize) << c.text;
        EXPECT_EQ(s.TabHandlingMode(), c.tabHandling) << c.text;
    }
}

TEST(Setting, ResetToDefaults) {
    CSetting s(kHighlight);
    s.Load(CIniFile::FromText("[RUXCOLOR]\nFontName=Mono\nTabSize=3\nCvrtTab=0\nColorTMSel=5\n"));
    s.ResetToDefaults();
    EXPECT_EQ(s.Font(), CSetting::DefaultFont());
    EXPECT_EQ(s.Font().face, "courier new");
    EXPECT_EQ(s.TabSize(), 4);
    EXPECT_EQ(s.TabHandlingMode(), TAB_KEEP_TABS);
    for (const ColorRow& row : kTable)
        EXPECT_EQ(s.GetColor(row.number), row.def) << row.key;
}

TEST(Setting, TabDialogGuard) {
    CSetting s;
    struct Case {
        int size, handling, wantSize, wantHandling;
    } cases[] = {{0, 0, 2, 0}, {-3, 1, 2, 1}, {1, 5, 1, 1}, {8, 0, 8, 0}};
    for (const Case& c : cases) {
        s.SetTabs(c.size, c.handling);
        EXPECT_EQ(s.TabSize(), c.wantSize) << c.size;
        EXPECT_EQ(s.TabHandlingMode(), c.wantHandling) << c.size;
    }
}

TEST(Setting, SaveWritesDecimalValuesThatLoadBack) {
    CSetting s(kHighlight);
    s.SetFont({"DejaVu Sans Mono", 90, 700, true});
    s.SetTabs(3, 1);
    s.SetColor(kColourKeyword, 0xFF0000);
    CIniFile ini = CIniFile::FromText("");
    s.Save(ini);
    EXPECT_EQ(ini.Text(), "[RUXCOLOR]\nFontName=DejaVu Sans Mono\nFontSize=90\nFontWeight=700\nFontItalic=1\n"
                          "TabSize=3\nCvrtTab=1\nColorRungCmt=32768\nColorFB=65280\nColorSelbox=13158600\n"
                          "ColorCmt=8224125\nColorIdt=0\nColorKwd=16711680\nColorTxt=0\nColorErr=255\n"
                          "ColorRdo=0\nColorRUXSel=16776960\nColorTMSel=3368601\n");
    CSetting back(0x010101);
    back.Load(ini);
    EXPECT_EQ(back.Font(), s.Font());
    EXPECT_EQ(back.TabSize(), 3);
    EXPECT_EQ(back.TabHandlingMode(), 1);
    for (const CH2LiteColor& c : s.Colors())
        EXPECT_EQ(back.GetColor(c.Number()), c.Value()) << c.Key();
}

using test::CTempDir;

TEST(StyleFile, NamesStopAtTheFirstMissingNumber) {
    struct Case {
        const char* text;
        std::vector<std::string> names;
    } cases[] = {
        {"", {}},
        {"[STYLE_NAME]\nStyle1=Classic\nStyle2= Night \n", {"Classic", "Night"}},
        {"[style_name]\nstyle2=B\nSTYLE1=A\nStyle4=D\n", {"A", "B"}},
        {"[STYLE_NAME]\nStyle1=A\nStyle2=\nStyle3=C\n", {"A"}},
        {"[STYLE_NAME]\nStyle0=Z\nStyle2=B\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CStyleFile(CIniFile::FromText(c.text)).Names(), c.names) << c.text;
}

TEST(StyleFile, ApplyReadsPresentKeysAndLeavesTheRest) {
    CStyleFile styles(
        CIniFile::FromText("[STYLE_NAME]\nStyle1=Night\nStyle2=Partial\n"
                           "[Night]\nFontName=Terminus\nFontSize=140\nFontWeight=700\nFontItalic=1\n"
                           "ColorTxt=1\nColorErr=2\nColorKwd=3\nColorCmt=4\nColorDgm=5\nColorIdt=6\n"
                           "ColorRdo=7\nTabStyle=0\nTabSize=0\n"
                           "[partial]\nColorKwd=255\nTabSize=5\n"));
    CSetting s;
    s.ResetToDefaults();
    s.SetColor(kColourSelection, 0xABCDEF);
    ASSERT_TRUE(styles.Apply("Night", s));
    EXPECT_EQ(s.Font(), (CFontDesc{"Terminus", 140, 700, true}));
    struct Want {
        int number;
        ColorRef value;
    } wants[] = {{kColourText, 1},
                 {kColourError, 2},
                 {kColourKeyword, 3},
                 {kColourComment, 4},
                 {kColourFbHeader, 5},
                 {kColourIdentifier, 6},
                 {kColourReadOnly, 7},
                 {kColourSelection, 0xABCDEF},
                 {kColourRungComment, 0x008000}};
    for (const Want& w : wants)
        EXPECT_EQ(s.GetColor(w.number), w.value) << w.number;
    EXPECT_EQ(s.TabHandlingMode(), TAB_INSERT_SPACES);
    EXPECT_EQ(s.TabSize(), 2); // a size below 1 becomes 2

    ASSERT_TRUE(styles.Apply("PARTIAL", s));
    EXPECT_EQ(s.Font().face, "Terminus");
    EXPECT_EQ(s.GetColor(kColourKeyword), 255u);
    EXPECT_EQ(s.GetColor(kColourText), 1u);
    EXPECT_EQ(s.TabSize(), 5);
    EXPECT_EQ(s.TabHandlingMode(), TAB_INSERT_SPACES);

    CSetting untouched;
    EXPECT_FALSE(styles.Apply("Nowhere", untouched));
    EXPECT_FALSE(styles.Apply("", untouched));
    EXPECT_EQ(untouched.Font().face, "courier");
}

TEST(StyleFile, SaveAsReusesTheKeyOfAnExistingNameOrTakesTheNextNumber) {
    CTempDir dir;
    std::string path = dir.Write("HALM.STY", "; shipped styles\n[STYLE_NAME]\nStyle1=Classic\nStyle2=Night\n"
                                             "[Classic]\nFontName=courier new\nFontSize=100\nColorKwd=1\n"
                                             "[Night]\nFontName=Terminus\nColorKwd=2\nExtra=kept\n");
    CStyleFile styles{CIniFile(path)};
    CSetting s;
    s.SetFont({"Hack", 110, 400, false});
    s.SetTabs(3, 1);
    s.SetColor(kColourKeyword, 0x00AA00);
    s.SetColor(kColourFbHeader, 0x123456);

    ASSERT_TRUE(styles.SaveAs("night", s));
    EXPECT_EQ(styles.Names(), (std::vector<std::string>{"Classic", "night"}));
    std::string text = CTempDir::Read(path);
    EXPECT_EQ(text, "; shipped styles\n[STYLE_NAME]\nStyle1=Classic\nStyle2=night\n"
                    "[Classic]\nFontName=courier new\nFontSize=100\nColorKwd=1\n"
                    "[Night]\nFontName=Hack\nColorKwd=43520\nExtra=kept\nFontSize=110\nFontWeight=400\n"
                    "FontItalic=0\nColorTxt=0\nColorErr=255\nColorCmt=8224125\nColorDgm=1193046\nColorIdt=0\n"
                    "ColorRdo=0\nTabStyle=1\nTabSize=3\n");

    ASSERT_TRUE(styles.SaveAs("  Third  ", s));
    EXPECT_EQ(styles.Names(), (std::vector<std::string>{"Classic", "night", "Third"}));
    EXPECT_FALSE(styles.SaveAs("   ", s));
    EXPECT_FALSE(styles.SaveAs("Bad]Name", s));

    // A gap in the numbering is filled; a file that cannot be written takes nothing.
    CStyleFile gap(CIniFile::FromText("[STYLE_NAME]\nStyle1=A\nStyle3=C\n"));
    ASSERT_TRUE(gap.SaveAs("B", CSetting()));
    EXPECT_EQ(gap.Names(), (std::vector<std::string>{"A", "B", "C"}));
    CStyleFile unwritable{CIniFile(dir.File("missing/HALM.STY"))};
    EXPECT_TRUE(unwritable.Names().empty());
    EXPECT_FALSE(unwritable.SaveAs("Mine", CSetting()));
}

TEST(StyleFile, ShippedStylesAllApply) {
    CStyleFile styles{CIniFile(std::string(RUX_SOURCE_DIR) + "/data/HALM.STY")};
    std::vector<std::string> names = styles.Names();
    ASSERT_GE(names.size(), 3u);
    for (const std::string& name : names) {
        CSetting s;
        EXPECT_TRUE(styles.Apply(name, s)) << name;
        EXPECT_GE(s.Font().size, 80) << name;
        EXPECT_NE(s.GetColor(kColourText), 0xFFFFFFu) << name; // text must show on the white page
    }
    // The first style is the look of a fresh installation.
    CSetting fresh;
    fresh.ResetToDefaults();
    CSetting standard;
    ASSERT_TRUE(styles.Apply(names.front(), standard));
    for (int n :
         {kColourText, kColourError, kColourKeyword, kColourComment, kColourFbHeader, kColourIdentifier, kColourReadOnly})
        EXPECT_EQ(standard.GetColor(n), fresh.GetColor(n)) << n;
    EXPECT_EQ(standard.Font(), fresh.Font());
}

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
