#include "panes/build_bar.h"

#include <QSignalSpy>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace rux {
namespace {

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
    // A line with a place reports it (see the file name tests); one without reports nothing.
    emit list->itemActivated(list->item(1));
    EXPECT_EQ(picked.count(), 0);

    bar.ResetListContent(CBuildBar::kBuildTab);
    EXPECT_EQ(bar.Count(CBuildBar::kBuildTab), 0);
    EXPECT_EQ(bar.Count(CBuildBar::kLogTab), 1) << "only the named tab is cleared";
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
