// The keys of the menus, pressed in a running editor: each reaches its command and the command does
// what it does from the menu.
#include "program_editor.h"

#include "dialogs/find_replace_dialog.h"
#include "dialogs/goto_dialog.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/string_table.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "frame/view_host.h"
#include "shell/command_ids.h"
#include "view/rux_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace rux {
namespace {

using test::CEditorHarness;

struct CKeyEditor : test::CProgramEditor {
    CKeyEditor() : CProgramEditor("keys.rux", {"P", "{Background", "a = 1", "b = 2", "c = 3", "}", "tail"}) {}
    const CObArrayEx& Items() const { return Document().Items(); }
    void Type(const char* text) const { QTest::keyClicks(&View(), text); }
};

void Press(QWidget* widget, const QKeySequence& keys) {
    const QKeyCombination combination = keys[0];
    QTest::keyClick(widget, combination.key(), combination.keyboardModifiers());
    CEditorHarness::Settle(10);
}

// One row per command whose enabled state follows what the user did before pressing its key (a
// key of a greyed action does nothing), and per dialog or frame command; the menu shows each key
// as the shortcut test checks for all of them.
TEST(Accelerators, EveryMenuKeyReachesItsCommand) {
    struct Row {
        const char* keys;
        int command; // 0: a key the view handles itself, which no menu shortcut may take first
        std::function<void(CKeyEditor&)> before;
        std::function<void(CKeyEditor&)> check;
    };
    const Row rows[] = {
        {"Ctrl+Z", ID_EDIT_UNDO,
         [](CKeyEditor& e) {
             e.View().GoToItem(2);
             e.Type("X");
         },
         [](CKeyEditor& e) { EXPECT_EQ(e.Text(2), "a = 1"); }},
        {"Ctrl+Y", ID_EDIT_REDO,
         [](CKeyEditor& e) {
             e.View().GoToItem(2);
             e.Type("X");
             e.h.Frame().RunCommand(ID_EDIT_UNDO);
         },
         [](CKeyEditor& e) { EXPECT_EQ(e.Text(2), "Xa = 1"); }},
        {"Ctrl+C", ID_EDIT_COPY,
         [](CKeyEditor& e) {
             e.Session().Select({1, 3}, {6, 3});
         },
         [](CKeyEditor& e) {
             EXPECT_EQ(QApplication::clipboard()->text(), "b = 2");
             EXPECT_EQ(e.Text(3), "b = 2");
         }},
        {"Ctrl+X", ID_EDIT_CUT,
         [](CKeyEditor& e) {
             e.Session().Select({1, 3}, {6, 3});
         },
         [](CKeyEditor& e) {
             EXPECT_EQ(QApplication::clipboard()->text(), "b = 2");
             EXPECT_EQ(e.Text(3), "");
         }},
        {"Ctrl+V", ID_EDIT_PASTE,
         [](CKeyEditor& e) {
             QApplication::clipboard()->setText("zz");
             e.View().GoToItem(3);
         },
         [](CKeyEditor& e) { EXPECT_EQ(e.Text(3), "zzb = 2"); }},
        {"Ctrl+S", ID_FILE_SAVE,
         [](CKeyEditor& e) {
             e.View().GoToItem(4);
             e.Type("Q");
         },
         [](CKeyEditor& e) {
             EXPECT_FALSE(e.View().Document().IsModified());
             EXPECT_NE(CEditorHarness::Read(e.path).find("\r\n:Qc = 3\r\n"), std::string::npos);
         }},
        {"Ctrl+F", ID_EDIT_FIND_REPLACE, nullptr,
         [](CKeyEditor& e) {
             auto* find = e.h.Frame().findChild<RUX_CDlgFindReplace*>("FindReplaceDialog");
             ASSERT_NE(find, nullptr);
             EXPECT_TRUE(find->isVisible());
             find->hide();
         }},
        {"Ctrl+L", ID_EDIT_GOTO_LINE,
         [](CKeyEditor&) {
             test::WhenModal([](QWidget* modal) {
                 auto* dialog = dynamic_cast<CDlgGoto*>(modal);
                 ASSERT_NE(dialog, nullptr);
                 dialog->LineEdit()->setText("5");
                 QTest::keyClick(dialog, Qt::Key_Return);
             });
         },
         [](CKeyEditor& e) {
             EXPECT_EQ(e.Session().Caret(), (CTextPos{1, 5}));
         }},
        {"Ctrl+G", ID_EDIT_NEXT_BOOKMARK,
         [](CKeyEditor& e) {
             e.View().GoToItem(4);
             e.h.Frame().RunCommand(ID_EDIT_TOGGLE_BOOKMARK);
             e.View().GoToItem(2);
         },
         [](CKeyEditor& e) {
             EXPECT_EQ(e.Session().Caret(), (CTextPos{1, 4}));
         }},
        {"F8", ID_VIEW_EXPAND_MINIMIZE, [](CKeyEditor& e) { e.View().GoToItem(1); },
         [](CKeyEditor& e) {
             EXPECT_FALSE(static_cast<const CSectionHeader*>(e.Items().GetAt(1))->IsExpanded());
             EXPECT_FALSE(e.Items().IsVisible(3));
         }},
        {"Ins", ID_KEY_INSERT, nullptr,
         [](CKeyEditor& e) {
             EXPECT_TRUE(OverwriteFlag());
             EXPECT_FALSE(e.h.Frame().IsPaneEnabled(CMainFrame::kPaneIns));
             e.h.Frame().RunCommand(ID_KEY_INSERT);
             EXPECT_FALSE(OverwriteFlag());
         }},
        {"Del", 0,
         [](CKeyEditor& e) {
             e.Session().Select({2, 2}, {5, 2});
         },
         [](CKeyEditor& e) { EXPECT_EQ(e.Text(2), "a1"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        CKeyEditor e;
        ASSERT_TRUE(e.started);
        const QKeySequence keys(QString::fromLatin1(row.keys), QKeySequence::PortableText);
        if (row.command) {
            QAction* action = e.h.Frame().Action(row.command);
            ASSERT_NE(action, nullptr);
            EXPECT_EQ(action->shortcut(), keys) << "the menu shows the key";
        }
        if (row.before) row.before(e);
        e.View().setFocus();
        Press(&e.View(), keys);
        row.check(e);
    }
}

// Every key a menu text names is its action's shortcut, and no two actions of the frame share one
// (Qt runs neither of two actions with the same key).
TEST(Accelerators, MenuKeysAreShortcutsAndNoneIsShared) {
    CKeyEditor e;
    ASSERT_TRUE(e.started);
    std::map<QString, QStringList> owners;
    int named = 0;
    for (QAction* action : e.h.Frame().findChildren<QAction*>()) {
        if (!action->data().isValid()) continue;
        const int id = action->data().toInt();
        const QString text = QString::fromUtf8(LoadMenuString(id));
        const int tab = text.indexOf('\t');
        const QString keys = tab < 0 ? QString() : text.mid(tab + 1);
        // Tab, Shift+Tab and Del are the view's own keys: they work on the selection, so no action
        // may take them from the view.
        // The tree menu's Build entries name the keys of the Build commands they send on.
        const int keyOwner = id == ID_TREE_BUILD ? ID_BUILD : id == ID_TREE_BUILD_DOWNLOAD ? ID_BUILD_DOWNLOAD : id;
        if (keys == "Tab" || keys == "Shift+Tab" || keys == "Del") {
            EXPECT_TRUE(action->shortcuts().isEmpty()) << id;
        } else if (!keys.isEmpty()) {
            ++named;
            ASSERT_NE(e.h.Frame().Action(keyOwner), nullptr) << id;
            EXPECT_EQ(e.h.Frame().Action(keyOwner)->shortcut(), QKeySequence(keys, QKeySequence::PortableText)) << id;
        }
        for (const QKeySequence& key : action->shortcuts())
            owners[key.toString()] << QString::number(id);
    }
    EXPECT_GE(named, 25);
    for (const auto& [key, ids] : owners)
        EXPECT_EQ(ids.size(), 1) << key.toStdString() << ": " << ids.join(",").toStdString();
}

// Ctrl+F4 closes the active program window, Alt+F4 and the window's close button the frame: each asks
// about a changed program first (Yes saves, No discards), and Cancel keeps everything open. Ctrl+W
// belongs to the watch window and closes nothing.
TEST(Accelerators, ClosingAsksForAChangedProgram) {
    enum EHow { CtrlF4, AltF4, CloseButton, CtrlW };
    struct Row {
        EHow how;
        bool change;
        QMessageBox::StandardButton answer;
        bool closed; // the program window (Ctrl+F4) or the frame
    } rows[] = {
        {CtrlF4, false, QMessageBox::Yes, true},     {CtrlF4, true, QMessageBox::Cancel, false},
        {CtrlF4, true, QMessageBox::No, true},       {CtrlF4, true, QMessageBox::Yes, true},
        {AltF4, true, QMessageBox::Cancel, false},   {AltF4, true, QMessageBox::Yes, true},
        {CloseButton, true, QMessageBox::Cancel, false}, {CloseButton, true, QMessageBox::No, true},
        {CloseButton, true, QMessageBox::Yes, true}, {CtrlW, false, QMessageBox::Yes, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.how) + " answer " + std::to_string(row.answer));
        CKeyEditor e;
        ASSERT_TRUE(e.started);
        const std::string original = CEditorHarness::Read(e.path);
        if (row.change) {
            e.View().GoToItem(2);
            e.Type("Z");
        }
        e.h.answer = row.answer;
        if (row.how == CtrlF4) Press(&e.View(), QKeySequence(Qt::CTRL | Qt::Key_F4));
        if (row.how == AltF4) Press(&e.View(), QKeySequence(Qt::ALT | Qt::Key_F4));
        if (row.how == CloseButton) {
            EXPECT_EQ(e.h.Frame().close(), row.closed);
        }
        if (row.how == CtrlW) Press(&e.View(), QKeySequence(Qt::CTRL | Qt::Key_W));
        CEditorHarness::Settle();
        ASSERT_EQ(e.h.boxes.size(), row.change ? 1u : 0u);
        if (row.change) {
            EXPECT_EQ(e.h.boxes[0], "Save changes to keys.rux?");
            EXPECT_EQ(e.h.icons[0], QMessageBox::Warning);
        }
        EXPECT_EQ(e.h.Frame().isVisible(), row.how == CtrlF4 || !row.closed);
        if (row.how == CtrlF4 || !row.closed) {
            EXPECT_EQ(e.h.Frame().Children().empty(), row.closed);
        }
        EXPECT_EQ(CEditorHarness::Read(e.path) != original, row.answer == QMessageBox::Yes && row.change);
    }
}

} // namespace
} // namespace rux
