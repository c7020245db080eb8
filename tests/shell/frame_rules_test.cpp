// The frame: its toolbars, title and error places, its window placements and its layouts in the profile.
#include "shell/frame_rules.h"

#include "shell/frame_layout_store.h"
#include "shell/ini_file.h"
#include "shell/profile_store.h"
#include "shell/shell_settings.h"
#include "shell/window_placement.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <string>

namespace rux {
namespace {

TEST(FrameRules, ToolbarsForModeAndView) {
    struct Row {
        EditorMode mode;
        bool flag, programView, online, canGoOnline;
        CToolbarVisibility expected;
    } rows[] = {
        {EditMode, true, true, false, true, {true, false, false}},
        {EditMode, true, true, true, true, {true, false, false}}, // edit mode never shows Debugging
        {EditMode, false, true, false, true, {false, false, false}},
        {DebugMode, true, false, false, true, {true, false, false}},
        {DebugMode, true, true, true, true, {false, true, false}},
        {DebugMode, false, true, true, true, {false, false, false}},
        {DebugMode, true, true, false, true, {true, false, true}},
        {DebugMode, true, true, false, false, {true, false, false}},
        {DebugMode, false, true, false, true, {false, false, true}},
    };
    for (const Row& r : rows) {
        const CToolbarVisibility v = ToolbarsFor(r.mode, r.flag, r.programView, r.online, r.canGoOnline);
        EXPECT_EQ(v, r.expected) << r.mode << r.flag << r.programView << r.online << r.canGoOnline;
    }
}

TEST(FrameRules, TitleWithAndWithoutDocument) {
    EXPECT_EQ(FrameTitle(nullptr), "RUX Editor");
    const std::string title = "conveyor_line.rux (Conveyor) *";
    EXPECT_EQ(FrameTitle(&title), "RUX Editor - [conveyor_line.rux (Conveyor) *]");
    const std::string empty;
    EXPECT_EQ(FrameTitle(&empty), "RUX Editor - []");
}

TEST(FrameRules, ErrorLineData) {
    struct Row {
        const char* text;
        CErrorLocation expected;
    } rows[] = {
        {"12;3;9", {12, 3, 9}},      {"12;-1;-1", {12, -1, -1}}, {"12", {12, -1, -1}},
        {"", {-1, -1, -1}},          {"-1;4;5", {-1, 4, 5}},     {" 7 ; 2 ;+8", {7, 2, 8}},
        {"x;2;3", {-1, 2, 3}},       {"5;;6", {5, -1, 6}},       {"12abc;1;2", {-1, 1, 2}},
        {"3;4;5;6", {3, 4, 5}}, // what follows the third number is not read
    };
    for (const Row& r : rows)
        EXPECT_EQ(ParseErrorLineData(r.text), r.expected) << '"' << r.text << '"';
    EXPECT_EQ(FirstLineNumber("12"), 12);
    EXPECT_EQ(FirstLineNumber("40;1;2"), 40);
    EXPECT_EQ(FirstLineNumber(""), -1);
}

TEST(FrameRules, ErrorFileNamesDocument) {
    struct Row {
        const char* path;
        const char* name;
        bool match;
    } rows[] = {
        {"/home/ann/Line.RUX", "line.rux", true},
        {"/home/ann/Line.RUX", "LINE.RUX", true},
        {"/home/ann/Line.RUX", "/home/ann/Line.RUX", true},
        {"/home/ann/Line.RUX", "/home/ann/line.rux", false}, // a path is taken as it stands
        {"/home/ann/Line.RUX", "other/Line.RUX", false},
        {"/home/ann/Line.RUX", "ine.rux", false},
        {"/home/ann/Line.RUX", "", false},
        {"C:\\prg\\Line.rux", "line.rux", true},
    };
    for (const Row& r : rows) EXPECT_EQ(ErrorFileNames(r.path, r.name), r.match) << r.path << " " << r.name;
}

TEST(FrameRules, ErrorFilePath) {
    EXPECT_EQ(ErrorFilePath("/a/b/line.rux"), "/a/b/line.ERR");
    EXPECT_EQ(ErrorFilePath("/a/b/line.RuX"), "/a/b/line.ERR");
    EXPECT_EQ(ErrorFilePath("/a/b.d/line"), "/a/b.d/line.ERR");
    EXPECT_EQ(ErrorFilePath("/a/b/line.v2.rux"), "/a/b/line.v2.ERR");
}

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

// The frame's layouts in the profile: chunked texts and the command bars' places, damaged or not.
using test::CTempDir;

TEST(FrameLayoutStore, TextsComeBackWholeAndDamagedCountsGiveNone) {
    CTempDir dir;
    CProfileStore profile(dir.Path(), "Layouts");
    const std::string exact(2 * CFrameLayoutStore::kChunk, 'a');
    const std::string longer = exact + "tail";
    struct Row {
        const char* section;
        std::string text;
        int chunks;
    };
    const Row rows[] = {{"Exact", exact, 2}, {"Longer", longer, 3}, {"Short", "AAEC/w==", 1}, {"Empty", "", 0}};
    for (const Row& row : rows) CFrameLayoutStore::WriteText(profile, row.section, row.text);
    const CProfileStore reread(dir.Path(), "Layouts");
    for (const Row& row : rows) {
        EXPECT_EQ(CFrameLayoutStore::ReadText(reread, row.section), row.text) << row.section;
        EXPECT_EQ(reread.GetInt(row.section, "Chunks", -1), row.chunks) << row.section;
    }
    EXPECT_EQ(reread.GetString("Longer", "Data2", ""), "tail");
    EXPECT_EQ(CFrameLayoutStore::ReadText(reread, "Missing"), "");
    for (int chunks : {-1, CFrameLayoutStore::kMaxChunks + 1}) {
        profile.WriteInt("Short", "Chunks", chunks);
        EXPECT_EQ(CFrameLayoutStore::ReadText(profile, "Short"), "") << chunks;
    }
}

TEST(FrameLayoutStore, ToolbarPlacesRoundTripAndDamageKeepsBarsWhereTheyAre) {
    const CToolbarPlace places[] = {{4, false}, {8, true}, {1, false}};
    EXPECT_EQ(CFrameLayoutStore::FormatToolbarPlaces(places), "4,0,8,1,1,0");
    EXPECT_EQ(CFrameLayoutStore::FormatToolbarPlaces({}), "");
    struct Row {
        const char* text;
        std::vector<CToolbarPlace> places;
    };
    const Row rows[] = {
        {"4,0,8,1,1,0", {{4, false}, {8, true}, {1, false}}},
        {"4,0,8,1", {{4, false}, {8, true}, {}}},      // a bar added since
        {"4,0,8", {{4, false}, {}, {}}},               // half a pair
        {"4,0,8,1,1,0,2,1", {{4, false}, {8, true}, {1, false}}}, // a bar gone since
        {"3,0,0,1,16,0", {{}, {}, {}}},                // no area a bar docks in
        {"2,7,x,1,4x,0", {{2, true}, {}, {}}},         // not numbers
        {"", {{}, {}, {}}},
        {",,,", {{}, {}, {}}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CFrameLayoutStore::ParseToolbarPlaces(row.text, 3), row.places) << row.text;
}

} // namespace
} // namespace rux
