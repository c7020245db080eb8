// Go to line, Insert Task and Node description, each driven from the keyboard.
#include "dialog_test_support.h"

#include "dialogs/goto_dialog.h"
#include "dialogs/insert_task_dialog.h"
#include "dialogs/node_description_dialog.h"
#include "document/item_list.h"
#include "document/node_description_form.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/task_list.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CBoxAnswerer;
using test::CDialogProgram;

TEST(GotoDialog, OkMovesTheCaretOrStaysOpenForANegativeNumber) {
    struct {
        const char* typed;
        bool closes;
        CTextPos caret;
        bool expanded; // the folded section around item 4
    } cases[] = {
        {"0", true, {1, 0}, false},    // the program header row
        {"4", true, {1, 4}, true},     // inside the folded section, which opens
        {"2", true, {1, 2}, false},    // its header: the section stays folded
        {"999", true, {1, 6}, false},  // past the end: the last item
        {"-1", false, {3, 1}, false},  // stays, caret untouched
        {"", false, {3, 1}, false},    // no number at all
    };
    for (const auto& c : cases) {
        CDialogProgram program({"P", "abcd", "{-Clock", "a", "b", "}", "end"});
        program.Session().Select({1, 1}, {3, 1});
        CDlgGoto dialog(program.Session());
        dialog.show();
        EXPECT_EQ(dialog.LineEdit()->text(), QStringLiteral("0")) << c.typed;
        EXPECT_EQ(dialog.LineEdit()->property("controlId").toInt(), 1023);
        dialog.LineEdit()->selectAll();
        QTest::keyClick(dialog.LineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(dialog.LineEdit(), QString::fromLatin1(c.typed));
        QTest::keyClick(dialog.LineEdit(), Qt::Key_Return);
        EXPECT_EQ(dialog.isVisible(), !c.closes) << c.typed;
        const CEditSession& session = program.Session();
        EXPECT_EQ(session.Caret(), c.caret) << c.typed;
        EXPECT_EQ(session.HasSelection(), !c.closes) << c.typed;
        auto* header = static_cast<CSectionHeader*>(program.Document().Items().GetAt(2));
        EXPECT_EQ(header->IsExpanded(), c.expanded) << c.typed;
        if (!c.closes) {
            EXPECT_EQ(dialog.LineEdit()->selectedText(), dialog.LineEdit()->text()) << c.typed;
        }
    }
}

TEST(InsertTaskDialog, ListsTheDriveTasksAndReturnsTheName) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("DRIVE.TSK")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[VQ5A]\r\nName1=Initial\r\nName2=Background\r\nName3=Clock\r\n[DEFAULT]\r\nName1=Main\r\n");
    file.close();

    CTaskListModel model(dir.path().toStdString(), "VQ5A");
    CDlgInsertTask dialog(model);
    dialog.show();
    ASSERT_EQ(dialog.List()->count(), 3);
    EXPECT_EQ(dialog.List()->item(1)->text(), QStringLiteral("Background"));
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Initial"));
    EXPECT_EQ(dialog.focusWidget(), dialog.NameEdit());

    // Tab to the list, Down twice: the chosen entry lands in the edit field.
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Tab);
    ASSERT_EQ(dialog.focusWidget(), dialog.List());
    QTest::keyClick(dialog.List(), Qt::Key_Down);
    QTest::keyClick(dialog.List(), Qt::Key_Down);
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Clock"));
    EXPECT_EQ(model.Text(), "Clock");

    // Typed over, and OK by Enter from the edit field.
    dialog.NameEdit()->setFocus();
    dialog.NameEdit()->selectAll();
    QTest::keyClicks(dialog.NameEdit(), QStringLiteral("Event1"));
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.Accept(), "Event1");
}

TEST(InsertTaskDialog, AnEmptyNameCountsAsCancel) {
    QTemporaryDir dir; // no DRIVE.TSK: nothing offered
    CTaskListModel model(dir.path().toStdString(), "");
    CDlgInsertTask dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.List()->count(), 0);
    EXPECT_TRUE(dialog.NameEdit()->text().isEmpty());
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Tab from the text reaches the buttons; Enter on OK closes as OK would.
void OkFromTheKeyboard(CDlgNodeDescription& dialog) {
    QTest::keyClick(dialog.TextEdit(), Qt::Key_Tab);
    QWidget* focus = dialog.focusWidget();
    ASSERT_TRUE(qobject_cast<QPushButton*>(focus));
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_EQ(box->buttonRole(static_cast<QPushButton*>(focus)), QDialogButtonBox::AcceptRole);
    QTest::keyClick(focus, Qt::Key_Return);
}

TEST(NodeDescriptionDialog, LongTextAsksAndClipsOnYes) {
    struct {
        const char* name;
        int length;
        QMessageBox::StandardButton answer;
        bool asked;
        bool closes;
        size_t stored;
    } cases[] = {
        {"fits", 1024, QMessageBox::Yes, false, true, 1024},
        {"clipped", 1100, QMessageBox::Yes, true, true, 1024},
        {"back to the text", 1100, QMessageBox::No, true, false, 1100},
    };
    for (const auto& c : cases) {
        CNodeDescriptionForm form("", false);
        CDlgNodeDescription dialog(form);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Node description"));
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.TextEdit()->setPlainText(QString(c.length - 2, QLatin1Char('d')) + QStringLiteral("\ne"));
        CBoxAnswerer boxes(c.answer);
        OkFromTheKeyboard(dialog);
        EXPECT_EQ(boxes.Texts().size(), c.asked ? 1 : 0) << c.name;
        if (c.asked) {
            EXPECT_EQ(boxes.Texts()[0], QStringLiteral("The description exceeds the limit of 1024 characters.\nIt will "
                                                       "be clipped.\nDo you want to continue?"))
                << c.name;
        }
        EXPECT_EQ(dialog.isVisible(), !c.closes) << c.name;
        const std::string typed = std::string(static_cast<size_t>(c.length - 2), 'd') + "\ne";
        EXPECT_EQ(form.Text(), typed.substr(0, c.stored)) << c.name;
    }
}

TEST(NodeDescriptionDialog, ReadOnlyShowsTheTextAndKeepsIt) {
    CNodeDescriptionForm form("line 1\nline 2", true);
    CDlgNodeDescription dialog(form);
    dialog.show();
    EXPECT_EQ(dialog.TextEdit()->toPlainText(), QStringLiteral("line 1\nline 2"));
    EXPECT_TRUE(dialog.TextEdit()->isReadOnly());
    QTest::keyClicks(dialog.TextEdit(), QStringLiteral("xyz"));
    OkFromTheKeyboard(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form.Text(), "line 1\nline 2");
}

} // namespace
} // namespace rux
