#include "shell/setting.h"

#include "shell/ini_file.h"

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

} // namespace
} // namespace rux
