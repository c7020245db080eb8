// Go to line, Insert Task, Node description, the indexer function block's name and the import
// information, each driven from the keyboard.
#include "dialog_test_support.h"

#include "dialogs/goto_dialog.h"
#include "dialogs/import_information_dialog.h"
#include "dialogs/indexer_udfb_dialog.h"
#include "dialogs/insert_task_dialog.h"
#include "dialogs/node_description_dialog.h"
#include "document/item_list.h"
#include "document/node_description_form.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/task_list.h"
#include "import/indexer_fb_form.h"

#include <QApplication>
#include <QCheckBox>
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
        {"4", true, {1, 4}, true},     // inside the folded section, which opens
        {"-1", false, {3, 1}, false},  // stays, caret untouched
        {"", false, {3, 1}, false},    // no number at all
    };
    for (const auto& c : cases) {
        CDialogProgram program({"P", "abcd", "{-Clock", "a", "b", "}", "end"});
        program.Session().Select({1, 1}, {3, 1});
        CDlgGoto dialog(program.Session());
        dialog.show();
        EXPECT_EQ(dialog.LineEdit()->text(), QStringLiteral("0")) << c.typed;
        dialog.LineEdit()->selectAll();
        QTest::keyClick(dialog.LineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(dialog.LineEdit(), QString::fromLatin1(c.typed));
        QTest::keyClick(dialog.LineEdit(), Qt::Key_Return);
        EXPECT_EQ(dialog.isVisible(), !c.closes) << c.typed;
        const CEditSession& session = program.Session();
        EXPECT_EQ(session.Caret(), c.caret) << c.typed;
        EXPECT_EQ(session.HasSelection(), !c.closes) << c.typed;
        auto* header = static_cast<const CSectionHeader*>(program.Document().Items().GetAt(2));
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

// 1,100 characters: the box asks; Yes clips to 1,024 and closes, No goes back to the text.
TEST(NodeDescriptionDialog, LongTextAsksAndClipsOnYes) {
    const std::string typed = std::string(1098, 'd') + "\ne";
    for (QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
        CNodeDescriptionForm form("", false);
        CDlgNodeDescription dialog(form);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.TextEdit()->setPlainText(QString::fromStdString(typed));
        CBoxAnswerer boxes(answer);
        OkFromTheKeyboard(dialog);
        EXPECT_EQ(boxes.Texts(),
                  QStringList({"The description exceeds the limit of 1024 characters.\nIt will "
                               "be clipped.\nDo you want to continue?"}));
        EXPECT_EQ(dialog.isVisible(), answer == QMessageBox::No);
        EXPECT_EQ(form.Text(), answer == QMessageBox::Yes ? typed.substr(0, 1024) : typed);
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

TEST(IndexerUDFBDialog, OkTakesOnlyAValidName) {
    const QString refused =
        "Invalid or missing function block name. FB name should begin with an '_' character.";
    struct {
        QString typed;
        bool closes;
        std::string name; // what the form holds afterwards
    } cases[] = {
        // The name rule itself is the form's; these show the dialog hands it what was typed.
        {"_FBIndexer", true, "_FBIndexer"}, // the preset, as it stands
        {"_2Idx", false, "_2Idx"}, // a digit second
        {QString::fromUtf8("_Id\xC3\xA9"), false,
         "_Id\xE9"}, // a letter of the code page, not of the name rule
    };
    for (const auto& c : cases) {
        CIndexerUDFBForm form;
        CDlgIndexerUDFB dialog(form);
        dialog.show();
        EXPECT_EQ(dialog.NameEdit()->text(), "_FBIndexer");
        EXPECT_TRUE(dialog.HelpButton()->isHidden()) << "no help without a way to show it";
        CBoxAnswerer boxes;
        dialog.NameEdit()->selectAll();
        QTest::keyClick(dialog.NameEdit(), Qt::Key_Backspace);
        dialog.NameEdit()->insert(c.typed); // typed keys know no letters beyond ASCII
        QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
        EXPECT_EQ(dialog.isVisible(), !c.closes) << c.typed.toStdString();
        EXPECT_EQ(dialog.result(), c.closes ? QDialog::Accepted : QDialog::Rejected) << c.typed.toStdString();
        EXPECT_EQ(form.Name(), c.name) << c.typed.toStdString();
        EXPECT_EQ(boxes.Texts(), c.closes ? QStringList() : QStringList({refused})) << c.typed.toStdString();
        if (!c.closes) {
            EXPECT_EQ(boxes.Titles(), QStringList({"RUX Editor"}));
        }
    }
}

TEST(ImportInformationDialog, ShowsTheTextAndReportsTheBox) {
    for (bool tick : {false, true}) {
        CDlgImportInformation dialog("First line\r\nsecond \x80 line\n");
        dialog.show();
        EXPECT_EQ(dialog.TextView()->toPlainText(),
                  QString::fromUtf8("First line\nsecond \xE2\x82\xAC line\n"));
        EXPECT_TRUE(dialog.TextView()->isReadOnly());
        EXPECT_FALSE(dialog.HideBox()->isChecked()) << "shown again unless the user says otherwise";
        if (tick) QTest::keyClick(dialog.HideBox(), Qt::Key_Space);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.HideFromNowOn(), tick);
    }
}

} // namespace
} // namespace rux
