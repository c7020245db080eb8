#include "editor_harness.h"

#include "resources/menus.h"
#include "shell/command_ids.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <memory>

namespace rux {
namespace {

using test::CEditorHarness;

std::vector<int> Ids(QMenu* menu) {
    std::vector<int> ids;
    for (QAction* a : menu->actions()) ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    return ids;
}

// Every id of the frame's menus, sub-menus included.
void CollectIds(QMenu* menu, std::vector<int>& ids) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) CollectIds(a->menu(), ids);
        if (!a->isSeparator() && a->data().isValid()) ids.push_back(a->data().toInt());
    }
}

TEST(ContextMenu, ProgramViewMenuFromItsTable) {
    CEditorHarness h;
    ASSERT_TRUE(h.Start({h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux")}));
    std::unique_ptr<QMenu> menu(h.Frame().BuildContextMenu(IDR_POPUP_EDIT));
    std::vector<int> expected;
    for (const CMenuEntry& e : MenuEntries(IDR_POPUP_EDIT)) expected.push_back(e.kind == EMenuKind::Command ? e.id : 0);
    EXPECT_EQ(Ids(menu.get()), expected) << "no hook library: nothing appended";
    // Without a hook library no command of any menu carries a hook id.
    std::vector<int> all;
    for (QAction* top : h.Frame().CurrentMenuBar()->actions()) CollectIds(top->menu(), all);
    for (int id : all) EXPECT_FALSE(id >= 6000 && id <= 6100) << id;
}

TEST(ContextMenu, HookItemsAreAppendedAfterOneSeparator) {
    CEditorHarness h;
    h.LinkIntoProduct(std::string(RUX_TEST_HOOK_DIR) + "/libHALMHook.so");
    ASSERT_TRUE(h.Start({h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux")}));
    std::unique_ptr<QMenu> menu(h.Frame().BuildContextMenu(IDR_POPUP_EDIT));
    const std::vector<int> ids = Ids(menu.get());
    const size_t table = MenuEntries(IDR_POPUP_EDIT).size();
    ASSERT_EQ(ids.size(), table + 4);
    EXPECT_EQ(ids[table], 0);
    EXPECT_EQ(std::vector<int>(ids.begin() + static_cast<long>(table) + 1, ids.end()), (std::vector<int>{6000, 6001, 6002}));
    const QList<QAction*> actions = menu->actions();
    EXPECT_EQ(actions[static_cast<qsizetype>(table) + 1]->text(), "Compare with drive");
    // The library decides the enabled state: its second item (hook id 205) is off.
    EXPECT_TRUE(actions[static_cast<qsizetype>(table) + 1]->isEnabled());
    EXPECT_FALSE(actions[static_cast<qsizetype>(table) + 2]->isEnabled());
    EXPECT_TRUE(h.Frame().RunCommand(6000));
    EXPECT_FALSE(h.Frame().RunCommand(6001)) << "a disabled hook item does not run";
    // Selection mode 1 gets only the items of mode 1.
    std::unique_ptr<QMenu> mode1(h.Frame().BuildContextMenu(IDR_POPUP_EDIT, 1));
    const std::vector<int> ids1 = Ids(mode1.get());
    ASSERT_EQ(ids1.size(), table + 2);
    EXPECT_EQ(ids1.back(), 6001);
}

} // namespace
} // namespace rux
