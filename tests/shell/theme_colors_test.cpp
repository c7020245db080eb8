#include "shell/theme_colors.h"

#include "shell/theme.h"

#include <gtest/gtest.h>

#include <string>

namespace rux {
namespace {

TEST(ThemeColors, ContrastRatioOfKnownPairs) {
    struct Row {
        CRgb a, b;
        double ratio;
    } rows[] = {
        {{0, 0, 0}, {255, 255, 255}, 21.0},
        {{255, 255, 255}, {0, 0, 0}, 21.0}, // the order does not matter
        {{0x77, 0x77, 0x77}, {255, 255, 255}, 4.48},
        {{0x76, 0x76, 0x76}, {255, 255, 255}, 4.54},
        {{255, 0, 0}, {255, 255, 255}, 4.00},
        {{0, 0, 255}, {0, 0, 0}, 2.44},
        {{0x40, 0x80, 0xc0}, {0x40, 0x80, 0xc0}, 1.0},
    };
    for (const Row& r : rows) EXPECT_NEAR(ContrastRatio(r.a, r.b), r.ratio, 0.01);
}

TEST(ThemeColors, EveryLookIsLegible) {
    for (const CThemeEntry& entry : CThemeTable::Entries()) {
        const CThemeColors& look = ThemeColors(entry.number);
        EXPECT_STREQ(look.name, entry.name);
        for (const std::string& problem : ContrastProblems(look)) ADD_FAILURE() << look.name << ": " << problem;
        // The pane captions of a theme's own pane theme sit in its frame.
        for (const std::string& problem : ContrastProblems(PaneColors(entry.paneTheme)))
            ADD_FAILURE() << look.name << " panes: " << problem;
    }
}

TEST(ThemeColors, EachRuleNamesTheFailingPair) {
    const CThemeColors good = ThemeColors(3);
    struct Row {
        void (*spoil)(CThemeColors&);
        const char* expected;
    } rows[] = {
        // Check boxes framed in a shade of the dark window: the fault the dark look used to have.
        {[](CThemeColors& l) { l.control = {0x2b, 0x2d, 0x31}; }, "control frame on base 1.18 < 3.0"},
        {[](CThemeColors& l) { l.accentText = {0xff, 0xff, 0xff}; }, "selected text on accent 2.94 < 4.5"},
        {[](CThemeColors& l) { l.disabledText = {0x4a, 0x4d, 0x52}; }, "disabled text on window 1.63 < 3.0"},
        {[](CThemeColors& l) { l.statusDisabledText = l.statusBar; }, "disabled status text 1.00 < 3.0"},
        {[](CThemeColors& l) { l.accent = l.window; }, "focus frame on window 1.00 < 3.0"},
    };
    for (const Row& r : rows) {
        CThemeColors look = good;
        r.spoil(look);
        const std::vector<std::string> problems = ContrastProblems(look);
        bool found = false;
        for (const std::string& p : problems) found = found || p == r.expected;
        EXPECT_TRUE(found) << "expected \"" << r.expected << "\" among " << problems.size() << " problems";
    }
    // Text that passes on the base but not on the darker window is caught on the window alone.
    CThemeColors light = ThemeColors(1);
    light.text = {0x76, 0x76, 0x76};
    light.base = {255, 255, 255};
    light.window = {0xe0, 0xe0, 0xe0};
    const std::vector<std::string> problems = ContrastProblems(light);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.front(), "text on window 3.44 < 4.5");
}

TEST(ThemeColors, NumbersOutsideTheMenuLookLikeTheDefault) {
    struct Row {
        int number;
        const char* theme;
        int pane;
        const char* paneLook;
    } rows[] = {
        {0, "Zinc", 1, "Zinc"},    {1, "Titanium", 1, "Zinc"},  {2, "Cobalt", 2, "Cobalt"},
        {3, "Tungsten", 3, "Tungsten"}, {10, "Cobalt", 19, "Cobalt"}, {-1, "Cobalt", 0, "Cobalt"},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(ThemeColors(r.number).name, r.theme) << r.number;
        EXPECT_STREQ(PaneColors(r.pane).name, r.paneLook) << r.pane;
    }
}

// The program view in a dark look: every colour of the table reads on its window, keeps its hue, and
// a light look shows the table untouched.
TEST(ThemeColors, ProgramViewInkReadsOnEveryLook) {
    struct Row {
        const char* name;
        CRgb ink;
        char dominant; // in the dark look: r, g or b stays the strongest channel, 0 stays grey, '-' as is
    } rows[] = {
        {"text, black", {0, 0, 0}, 0},
        {"comments when absent", {0x7d, 0x7d, 0x7d}, 0},
        {"keywords, dark blue", {0x00, 0x00, 0xc8}, 'b'},
        {"errors, red", {0xff, 0x00, 0x00}, 'r'},
        {"comments by default, green", {0x00, 0x7d, 0x00}, 'g'},
        {"already light, yellow", {0xff, 0xff, 0x00}, '-'},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int number = 0; number <= 3; ++number) {
            const CThemeColors& look = ThemeColors(number);
            const CRgb window = ProgramViewWindow(look);
            const CRgb ink = ProgramViewInk(row.ink, look);
            if (!look.dark) {
                EXPECT_EQ(window, (CRgb{255, 255, 255})) << look.name;
                EXPECT_EQ(ink, row.ink) << look.name << ": a light look keeps the user's colours";
                continue;
            }
            EXPECT_GE(ContrastRatio(ink, window), 4.5) << look.name;
            if (ContrastRatio(row.ink, window) >= 4.5) {
                EXPECT_EQ(ink, row.ink) << "a legible colour stays";
            }
            const int r = ink.r, g = ink.g, b = ink.b;
            const bool hueKept = row.dominant == 'r'   ? r > g && r > b
                                 : row.dominant == 'g' ? g > r && g > b
                                 : row.dominant == 'b' ? b > r && b > g
                                 : row.dominant == 0   ? r == g && g == b
                                                       : true;
            EXPECT_TRUE(hueKept) << int(r) << "," << int(g) << "," << int(b);
        }
    }
    // Text on the caret row of a section line reads too.
    const CRgb caretRow = ProgramViewCaretRow(ThemeColors(3));
    EXPECT_GE(ContrastRatio(ProgramViewInk({0, 0, 0}, ThemeColors(3)), caretRow), 4.5);
}

} // namespace
} // namespace rux
