// The running editor's frame gets the keyboard back after its dialogs, and Alt+F4 goes through the
// frame's own closing.
#include "editor_harness.h"

#include "../dialogs/dialog_test_support.h"
#include "dialogs/find_replace_dialog.h"
#include "dialogs/goto_dialog.h"
#include "document/rux_document.h"
#include "frame/mdi_child.h"
#include "shell/command_ids.h"
#include "view/rux_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace rux {
namespace {

using test::CEditorHarness;

struct CFocusEditor {
    CFocusEditor() {
        path = h.Root() + "/focus.rux";
        CEditorHarness::Write(path, test::DialogProgram({"P", "{Background", "a = 1", "b = 2", "}"}));
        started = h.Start({path});
        if (!started) return;
        h.Frame().show();
        CEditorHarness::Settle();
    }
    QWidget* View() const { return h.Frame().Children().at(0)->View(); }

    CEditorHarness h;
    std::string path;
    bool started = false;
};

TEST(FrameFocus, EveryDialogHandsTheKeyboardBackToTheProgramView) {
    struct Row {
        const char* what;
        int command;
        // Closes the dialog the command opened, as the user does.
        std::function<void(CFocusEditor&)> close;
    };
    const auto nobodyActive = [] { QApplication::setActiveWindow(nullptr); };
    const Row rows[] = {
        {"Go to line, Escape", ID_EDIT_GOTO_LINE,
         [&](CFocusEditor&) {
             test::WhenModal([&](QWidget* modal) {
                 ASSERT_NE(dynamic_cast<CDlgGoto*>(modal), nullptr);
                 QTest::keyClick(modal, Qt::Key_Escape);
                 // A bare X server gives the keyboard to no window once the dialog is gone.
                 nobodyActive();
             });
         }},
        {"Go to line, Enter", ID_EDIT_GOTO_LINE,
         [&](CFocusEditor&) {
             test::WhenModal([&](QWidget* modal) {
                 auto* dialog = dynamic_cast<CDlgGoto*>(modal);
                 ASSERT_NE(dialog, nullptr);
                 dialog->LineEdit()->setText("2");
                 QTest::keyClick(dialog, Qt::Key_Return);
                 nobodyActive();
             });
         }},
        {"Find/Replace, Escape", ID_EDIT_FIND_REPLACE, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CFocusEditor e;
        ASSERT_TRUE(e.started);
        if (row.close) row.close(e);
        EXPECT_TRUE(e.h.Frame().RunCommand(row.command));
        if (!row.close) {
            // The modeless dialog is open and has the keyboard until Escape.
            auto* find = e.h.Frame().findChild<RUX_CDlgFindReplace*>("FindReplaceDialog");
            ASSERT_NE(find, nullptr);
            ASSERT_TRUE(find->isVisible());
            QTest::keyClick(find->focusWidget() ? find->focusWidget() : find, Qt::Key_Escape);
            EXPECT_FALSE(find->isVisible());
            nobodyActive();
        }
        EXPECT_TRUE(
            CEditorHarness::WaitFor([&] { return QApplication::activeWindow() == &e.h.Frame(); }, 2000));
        EXPECT_EQ(QApplication::focusWidget(), e.View());
    }
}

TEST(FrameFocus, AltF4AsksAboutTheModifiedProgramLikeExit) {
    struct Row {
        QMessageBox::StandardButton answer;
        bool frameOpenAfter;
        bool savedAfter;
    };
    const Row rows[] = {
        {QMessageBox::Cancel, true, false},
        {QMessageBox::Yes, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        CFocusEditor e;
        ASSERT_TRUE(e.started);
        ASSERT_TRUE(
            CEditorHarness::WaitFor([&] { return QApplication::activeWindow() == &e.h.Frame(); }, 2000));
        const std::string before = CEditorHarness::Read(e.path);
        QTest::keyClicks(e.View(), "Z");
        e.h.answer = row.answer;
        QTest::keyClick(e.View(), Qt::Key_F4, Qt::AltModifier);
        CEditorHarness::Settle();
        ASSERT_EQ(e.h.boxes.size(), 1u);
        EXPECT_EQ(e.h.boxes[0].toStdString(), "Save changes to focus.rux?");
        EXPECT_EQ(e.h.Frame().isVisible(), row.frameOpenAfter);
        EXPECT_EQ(CEditorHarness::Read(e.path) != before, row.savedAfter);
    }
}

} // namespace
} // namespace rux
