#include "shell/style_file.h"

#include "shell/setting.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

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

} // namespace
} // namespace rux
