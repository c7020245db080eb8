// The looks: the theme table and its settings, each look's colours and legibility, and icon ink.
#include "shell/theme.h"

#include "shell/icon_ink.h"
#include "shell/ini_file.h"
#include "shell/shell_settings.h"
#include "shell/theme_colors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace rux {
namespace {

TEST(Theme, MenuEntriesAndPaneThemes) {
    for (const CThemeEntry& e : CThemeTable::Entries())
        EXPECT_EQ(CThemeTable::FindByCommand(e.command), &e) << e.name;
    EXPECT_EQ(CThemeTable::FindByCommand(33037), nullptr);
    // The menu's looks share pane theme 1 for the first two; any other number is its own pane theme.
    const std::pair<int, int> panes[] = {{0, 1}, {1, 1}, {2, 2}, {3, 3},   {10, 19},
                                         {4, 4}, {9, 9}, {11, 11}, {19, 19}, {-1, -1}};
    for (const auto& [number, pane] : panes)
        EXPECT_EQ(CThemeTable::PaneTheme(number), pane) << number;
}

TEST(Theme, StoredInMaindesk) {
    CIniFile ini = CIniFile::FromText("[MAINDESK]\nRDONLY=1\n");
    EXPECT_EQ(CThemeTable::Load(ini), 2);
    CThemeTable::Store(ini, 0); // choosing "Zinc"
    EXPECT_EQ(ini.Text(), "[MAINDESK]\nRDONLY=1\nTheme=0\n");
    EXPECT_EQ(CThemeTable::Load(ini), 0);
}

TEST(ShellSettings, DefaultsAndWhatTheFrameWritesBack) {
    CShellSettings d = CShellSettings::Load(CIniFile::FromText("[RUXCat]\n[MAINDESK]\nTheme=\n"));
    EXPECT_EQ(d.readOnly, 0);
    EXPECT_EQ(d.theme, 2);
    EXPECT_EQ(d.mainToolbar, 1);
    EXPECT_EQ(d.viewToolbar, 1);
    EXPECT_EQ(d.maxCategories, 10);
    EXPECT_EQ(d.maxTemplates, 20);
    EXPECT_EQ(d.showImportInfo, 1);

    CIniFile ini =
        CIniFile::FromText("[MAINDESK]\nRDONLY=1\nTheme=10\n[RUXToolbar]\nMain=0\n[RUXCat]\nMaxTpl=5\n");
    CShellSettings s = CShellSettings::Load(ini);
    EXPECT_EQ(s.readOnly, 1);
    EXPECT_EQ(s.theme, 10);
    EXPECT_EQ(s.mainToolbar, 0);
    EXPECT_EQ(s.maxTemplates, 5);
    s.viewToolbar = 0;
    s.showImportInfo = 0;
    s.Save(ini);
    EXPECT_EQ(ini.Text(), "[MAINDESK]\nRDONLY=1\nTheme=10\n[RUXToolbar]\nMain=0\nView=0\n[RUXCat]\nMaxTpl=5\n"
                          "MaxCat=10\n\n[RUXCONF]\nShowQuodexImportInfoDlg=0\n");
}

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

constexpr CRgb kDarkWindow{0x2b, 0x2d, 0x31};
constexpr CRgb kLightWindow{0xe9, 0xee, 0xf5};
constexpr CRgb kLightInk{0xe6, 0xe6, 0xe6};
constexpr CRgb kDarkInk{0x18, 0x21, 0x2b};

TEST(IconInk, NeutralInksAreDarkGreysOnly) {
    struct Row {
        CRgb c;
        bool ink;
    } rows[] = {
        {{0x4a, 0x53, 0x60}, true},  {{0x5b, 0x64, 0x70}, true}, {{0x2c, 0x32, 0x3a}, true},
        {{0x8a, 0x94, 0xa3}, false}, // a mid grey fill
        {{0x1d, 0x4f, 0x8c}, false}, // dark, but blue
        {{0xff, 0xff, 0xff}, false}, {{0xc0, 0x39, 0x2b}, false},
    };
    for (const Row& r : rows) EXPECT_EQ(IsNeutralInk(r.c), r.ink) << int(r.c.r) << "," << int(r.c.g) << "," << int(r.c.b);
}

TEST(IconInk, PicturesFollowTheLook) {
    struct Row {
        const char* svg;
        CRgb ink, window;
        const char* expected;
    } rows[] = {
        // The ink becomes the look's text colour, in strokes and fills alike.
        {R"(<path stroke="#5b6470" fill="#4A5360"/>)", kLightInk, kDarkWindow,
         R"(<path stroke="#e6e6e6" fill="#e6e6e6"/>)"},
        {R"(<path stroke="#5b6470"/>)", kDarkInk, kLightWindow, R"(<path stroke="#18212b"/>)"},
        // A dark blue outline sinks into the dark window: raised towards white until 3:1.
        {R"(<rect stroke="#1d4f8c"/>)", kLightInk, kDarkWindow, R"(<rect stroke="#5a7fab"/>)"},
        // On the dark window a dark fill is raised too; white paper is left alone.
        {R"(<rect fill="#1d4f8c"/><rect fill="#ffffff"/>)", kLightInk, kDarkWindow,
         R"(<rect fill="#5a7fab"/><rect fill="#ffffff"/>)"},
        // On a light window light fills are paper and stay; a light stroke is darkened.
        {R"(<rect fill="#eef3fa" stroke="#f2c14e"/>)", kDarkInk, kLightWindow,
         R"(<rect fill="#eef3fa" stroke="#9e7f33"/>)"},
        // Colours that stand out already, and text that is no colour, come through untouched.
        {R"(<circle fill="#c0392b"/><a href="#abc">#12</a> #1234567)", kDarkInk, kLightWindow,
         R"(<circle fill="#c0392b"/><a href="#abc">#12</a> #1234567)"},
    };
    for (const Row& r : rows) EXPECT_EQ(ThemedSvg(r.svg, r.ink, r.window), r.expected) << r.svg;
}

TEST(IconInk, EveryRaisedColourStandsOut) {
    for (const CRgb window : {kDarkWindow, kLightWindow})
        for (const CRgb c : {CRgb{0, 0, 0}, CRgb{0x1d, 0x4f, 0x8c}, CRgb{0x8e, 0x1f, 0x1f}, CRgb{0xff, 0xff, 0x00},
                             CRgb{0xe0, 0xa5, 0x26}}) {
            char svg[32];
            std::snprintf(svg, sizeof svg, "stroke=\"#%02x%02x%02x\"", c.r, c.g, c.b);
            const CRgb ink = window == kDarkWindow ? kLightInk : kDarkInk;
            const std::string out = ThemedSvg(svg, ink, window);
            const unsigned v = static_cast<unsigned>(std::stoul(out.substr(9, 6), nullptr, 16));
            const CRgb raised{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
            EXPECT_GE(ContrastRatio(raised, window), 3.0) << svg << " -> " << out;
        }
}

} // namespace
} // namespace rux
