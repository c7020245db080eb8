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

// The program view's menu is its table; a hook library beside the editor appends its items after one
// separator, each enabled as the library says, and nothing of it shows without the library.
TEST(ContextMenu, ProgramViewMenuFromItsTableAndTheHookLibrary) {
    std::vector<int> table;
    for (const CMenuEntry& e : MenuEntries(IDR_POPUP_EDIT))
        table.push_back(e.kind == EMenuKind::Command ? e.id : 0);
    for (bool hook : {false, true}) {
        SCOPED_TRACE(hook ? "with the hook library" : "without");
        CEditorHarness h;
        if (hook) h.LinkIntoProduct(std::string(RUX_TEST_HOOK_DIR) + "/libHALMHook.so");
        ASSERT_TRUE(h.Start({h.CopyProgram("examples/conveyor_line.rux", "conveyor_line.rux")}));
        std::unique_ptr<QMenu> menu(h.Frame().BuildContextMenu(IDR_POPUP_EDIT));
        std::vector<int> expected = table;
        if (hook) expected.insert(expected.end(), {0, 6000, 6001, 6002});
        EXPECT_EQ(Ids(menu.get()), expected);
        if (!hook) {
            // No command of any menu carries a hook id.
            std::vector<int> all;
            for (QAction* top : h.Frame().CurrentMenuBar()->actions()) CollectIds(top->menu(), all);
            for (int id : all) EXPECT_FALSE(id >= 6000 && id <= 6100) << id;
            continue;
        }
        const QList<QAction*> actions = menu->actions();
        const auto first = static_cast<qsizetype>(table.size()) + 1;
        EXPECT_EQ(actions[first]->text(), "Compare with drive");
        // The library decides the enabled state: its second item (hook id 205) is off.
        EXPECT_TRUE(actions[first]->isEnabled());
        EXPECT_FALSE(actions[first + 1]->isEnabled());
        EXPECT_TRUE(h.Frame().RunCommand(6000));
        EXPECT_FALSE(h.Frame().RunCommand(6001)) << "a disabled hook item does not run";
        // Selection mode 1 gets only the items of mode 1.
        std::unique_ptr<QMenu> mode1(h.Frame().BuildContextMenu(IDR_POPUP_EDIT, 1));
        EXPECT_EQ(Ids(mode1.get()).size(), table.size() + 2);
        EXPECT_EQ(Ids(mode1.get()).back(), 6001);
    }
}

} // namespace
} // namespace rux
