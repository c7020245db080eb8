#include "panes/build_bar.h"

#include <QSignalSpy>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace rux {
namespace {

TEST(BuildBar, LocationsOfCompilerMessages) {
    struct Row {
        const char* message;
        bool found;
        const char* file;
        int line, start, end;
    } rows[] = {
        {"line.rux(12): error E101: unknown name", true, "line.rux", 12, -1, -1},
        {"/p/line.rux(40,3-9): warning W2: unused", true, "/p/line.rux", 40, 3, 9},
        {"line.rux(7,5): error", true, "line.rux", 7, 5, 5},
        {"  a b.rux(1): x", true, "a b.rux", 1, -1, -1},
        {"Build: No errors detected", false, "", -1, -1, -1},
        {"line.rux(x): error", false, "", -1, -1, -1},
        {"line.rux(12) error without colon", false, "", -1, -1, -1},
    };
    for (const Row& r : rows) {
        QString file;
        int line = -1, start = -1, end = -1;
        EXPECT_EQ(CBuildBar::ParseLocation(r.message, file, line, start, end), r.found) << r.message;
        if (!r.found) continue;
        EXPECT_EQ(file, r.file) << r.message;
        EXPECT_EQ(line, r.line) << r.message;
        EXPECT_EQ(start, r.start) << r.message;
        EXPECT_EQ(end, r.end) << r.message;
    }
}

TEST(BuildBar, TabsListsAndPickingAMessage) {
    CBuildBar bar;
    bar.AddString(CBuildBar::kBuildTab, "prog.rux(3): error E1");
    bar.AddString(CBuildBar::kBuildTab, "Error(s) detected");
    bar.AddString(CBuildBar::kLogTab, "log line");
    bar.AddString(7, "no such tab");
    EXPECT_EQ(bar.Count(CBuildBar::kBuildTab), 2);
    EXPECT_EQ(bar.Count(CBuildBar::kLogTab), 1);
    bar.SelectTab(CBuildBar::kLogTab);
    EXPECT_EQ(bar.SelectedTab(), CBuildBar::kLogTab);
    bar.SelectTab(5);
    EXPECT_EQ(bar.SelectedTab(), CBuildBar::kLogTab) << "an unknown tab changes nothing";

    QSignalSpy picked(&bar, &CBuildBar::LocationPicked);
    auto* list = bar.findChild<QListWidget*>("BuildList");
    ASSERT_NE(list, nullptr);
    emit list->itemActivated(list->item(1)); // no place in it
    EXPECT_EQ(picked.count(), 0);
    emit list->itemActivated(list->item(0));
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked[0][0].toString(), "prog.rux");
    EXPECT_EQ(picked[0][1].toInt(), 3);

    bar.ResetListContent(CBuildBar::kBuildTab);
    EXPECT_EQ(bar.Count(CBuildBar::kBuildTab), 0);
    EXPECT_EQ(bar.Count(CBuildBar::kLogTab), 1) << "only the named tab is cleared";
}

TEST(BuildBar, RefreshFromTheErrorFileBesideTheProgram) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "rux_build_bar_test";
    std::filesystem::create_directories(dir);
    const std::string program = (dir / "Line.v2.rux").string();
    std::ofstream(dir / "Line.v2.ERR", std::ios::binary) << "first\r\n\r\nsecond\nthird";
    CBuildBar bar;
    bar.AddString(CBuildBar::kBuildTab, "old");
    bar.RefreshBuild(program, CBuildBar::kBuildTab, 1);
    ASSERT_EQ(bar.Count(CBuildBar::kBuildTab), 3);
    EXPECT_EQ(bar.Text(CBuildBar::kBuildTab, 0), "first");
    EXPECT_EQ(bar.Text(CBuildBar::kBuildTab, 2), "third");
    // No error file: the tab is cleared and stays empty.
    std::filesystem::remove(dir / "Line.v2.ERR");
    bar.RefreshBuild(program, CBuildBar::kBuildTab, 1);
    EXPECT_EQ(bar.Count(CBuildBar::kBuildTab), 0);
    std::filesystem::remove_all(dir);
}

TEST(BuildBar, RunTimeErrorsGoToTheLog) {
    CBuildBar bar;
    bar.AddRunTimeErrorInLog(42, "KESTREL", "3", "/p/line.rux");
    bar.AddRunTimeErrorClearInLog(42, "3", "/p/line.rux");
    ASSERT_EQ(bar.Count(CBuildBar::kLogTab), 2);
    EXPECT_TRUE(bar.Text(CBuildBar::kLogTab, 0).contains("Run-time error 42 on node 3 (KESTREL): /p/line.rux"));
    EXPECT_TRUE(bar.Text(CBuildBar::kLogTab, 1).contains("Run-time error 42 cleared on node 3: /p/line.rux"));
    EXPECT_EQ(bar.Count(CBuildBar::kBuildTab), 0);
}

} // namespace
} // namespace rux
