// The keys of the program view that reach past the text: Variable, Print, Watch window and the online
// keys, and help from a message box.
#include "program_editor.h"

#include "app/help_opener.h"
#include "dialogs/select_variable_dialog.h"
#include "document/string_table.h"
#include "editor/edit_session.h"
#include "frame/message_box.h"
#include "shell/command_ids.h"
#include "shell/help_topics.h"
#include "support/edit_harness.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

using test::CEditorHarness;

struct CServiceEditor : test::CProgramEditor {
    CServiceEditor() : CProgramEditor("svc.rux", {"P", "{Task", "Speed = 1", "x = Speed", "}"}) {}
    void Press(QKeyCombination keys) const {
        QTest::keyClick(&View(), keys.key(), keys.keyboardModifiers());
        CEditorHarness::Settle(10);
    }
};

TEST(ViewServiceCommands, CtrlDInsertsTheChosenVariableAtTheCaret) {
    struct Row {
        const char* name;
        std::function<void(CDlgSelectVariable&)> choose;
        std::string line; // item 3 afterwards
    } rows[] = {
        {"a scanned name, double-clicked",
         [](CDlgSelectVariable& d) {
             d.ScanButton()->click();
             const auto found = d.NameList()->findItems("Speed", Qt::MatchExactly);
             ASSERT_EQ(found.size(), 1);
             emit d.NameList()->itemDoubleClicked(found.front());
         },
         "Speedx = Speed"},
        {"a typed parameter, Enter", [](CDlgSelectVariable& d) {
             d.NameEdit()->setText("#1.01");
             QTest::keyClick(d.NameEdit(), Qt::Key_Return);
         },
         "#1.01x = Speed"},
        {"Cancel", [](CDlgSelectVariable& d) {
             d.NameEdit()->setText("lost");
             d.reject();
         },
         "x = Speed"},
        {"Clear empties the list and the name", [](CDlgSelectVariable& d) {
             d.ScanButton()->click();
             d.NameList()->setCurrentRow(0);
             d.ClearButton()->click();
             EXPECT_EQ(d.NameList()->count(), 0);
             d.accept();
         },
         "x = Speed"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CServiceEditor e;
        ASSERT_TRUE(e.started);
        EXPECT_EQ(e.h.Frame().Action(ID_INSERT_VARIABLE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        e.View().GoToItem(3);
        bool shown = false;
        test::WhenModal([&](QWidget* modal) {
            auto* dialog = dynamic_cast<CDlgSelectVariable*>(modal);
            ASSERT_NE(dialog, nullptr);
            shown = true;
            EXPECT_EQ(test::LayoutProblems(dialog), "");
            row.choose(*dialog);
        });
        e.Press(Qt::CTRL | Qt::Key_D);
        EXPECT_TRUE(shown);
        EXPECT_EQ(e.Text(3), row.line);
    }
    // A read-only program takes no variable.
    CServiceEditor e;
    ASSERT_TRUE(e.started);
    e.Document().SetReadOnly(true);
    e.h.Frame().UpdateCommandStates();
    EXPECT_FALSE(e.h.Frame().Action(ID_INSERT_VARIABLE)->isEnabled());
}

TEST(ViewServiceCommands, CtrlPLeavesThePrintFilesBesideTheEditor) {
    struct Row {
        const char* name;
        bool select;
        bool selectionFile;
    } rows[] = {{"with a selection", true, true}, {"without", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CServiceEditor e;
        ASSERT_TRUE(e.started);
        if (row.select) e.Session().Select({1, 2}, {6, 2});
        e.Press(Qt::CTRL | Qt::Key_P);
        const std::string dir = e.h.Product();
        EXPECT_EQ(CEditorHarness::Read(dir + "/H2Prn.t"), test::SavedBytes(e.Document())) << "the whole program";
        EXPECT_EQ(std::filesystem::exists(dir + "/H2PrnSel.t"), row.selectionFile);
        if (row.selectionFile) {
            EXPECT_NE(CEditorHarness::Read(dir + "/H2PrnSel.t").find(":Speed\r\n"), std::string::npos);
        }
        // No print library in the suite: nothing else happens, and the program is unchanged.
        EXPECT_FALSE(e.Document().IsModified());
        EXPECT_TRUE(e.h.boxes.empty());
    }
}

// The Run keys and the watch window belong to an online view: offline each is greyed and its key
// does nothing. Going online itself (F9) waits for the online work, so it stays greyed too.
TEST(ViewServiceCommands, OnlineKeysAreGreyedOfflineAndTheWatchWindowFollowsTheView) {
    struct Row {
        const char* keys;
        int command;
        bool enabledOnline; // with the view online (as the online work will set it)
    } rows[] = {
        {"F9", ID_ONLINE, false},
        {"F2", ID_TOGGLE_BREAKPOINT, false},
        {"Ctrl+F2", ID_NEXT_BREAKPOINT, false},
        {"Ctrl+T", ID_VIEW_TASK_MANAGER, false},
        {"Ctrl+W", ID_WATCH_WINDOW, true},
    };
    CServiceEditor e;
    ASSERT_TRUE(e.started);
    const std::string before = CEditorHarness::Read(e.path);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        QAction* action = e.h.Frame().Action(row.command);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), QKeySequence(row.keys, QKeySequence::PortableText));
        e.Session().SetOnline(false);
        e.h.Frame().UpdateCommandStates();
        EXPECT_FALSE(action->isEnabled()) << "offline";
        e.Press(action->shortcut()[0]);
        EXPECT_EQ(e.h.Frame().Children().size(), 1u);
        e.Session().SetOnline(true);
        e.h.Frame().UpdateCommandStates();
        EXPECT_EQ(action->isEnabled(), row.enabledOnline) << "online";
    }
    e.Session().SetOnline(false);
    EXPECT_FALSE(e.Document().IsModified());
    EXPECT_EQ(CEditorHarness::Read(e.path), before);
}

// A box whose text is a numbered prompt has that prompt's help context, which F1 hands to the help
// library; a box without a prompt has none.
TEST(ViewServiceCommands, F1InAMessageBoxAsksHelpForItsPrompt) {
    struct Row {
        int prompt;
        std::vector<int> contexts;
    } rows[] = {{IDS_ASK_TO_SAVE, {CHelpTopics::kPromptContextBase + IDS_ASK_TO_SAVE}}, {0, {}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.prompt);
        std::vector<int> contexts;
        CHelpOpener::SetOpener([&](int context, QWidget*) { contexts.push_back(context); });
        SetMessageBoxHandler({});
        test::WhenModal([](QWidget* box) {
            // As on the desktop, the box is the active window while it is open.
            QApplication::setActiveWindow(box);
            EXPECT_TRUE(QTest::qWaitForWindowActive(box));
            QTest::keyClick(box, Qt::Key_F1);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        RuxMessageBox(nullptr, "text", QMessageBox::Ok, QMessageBox::NoIcon, row.prompt);
        CHelpOpener::SetOpener({});
        EXPECT_EQ(contexts, row.contexts);
    }
}

} // namespace
} // namespace rux
