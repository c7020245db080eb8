#include "shell/frame_rules.h"

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

} // namespace
} // namespace rux
