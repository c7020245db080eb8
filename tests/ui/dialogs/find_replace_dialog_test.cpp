#include "dialog_test_support.h"

#include "dialogs/find_replace_dialog.h"
#include "dialogs/find_target.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CBoxAnswerer;
using test::CDialogProgram;

// A dialog over a program, shown and pointed at the program's session as the frame would.
struct CFindBench {
    explicit CFindBench(const std::vector<std::string>& rows, bool readOnly = false)
        : program(rows, readOnly), target(program.Session(), [this] { ++repaints; }), dialog(model) {
        dialog.SetTarget(&target);
        dialog.ShowDialog();
        // Mnemonics are shortcuts of the active window.
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static void Toggle(QCheckBox* box) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
    }
    void Type(QComboBox* combo, const char* text) {
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), QString::fromLatin1(text));
    }
    CDialogProgram program;
    int repaints = 0;
    CSessionFindTarget target;
    CFindReplaceModel model;
    RUX_CDlgFindReplace dialog;
};

TEST(FindReplaceDialog, EnterFindsInsideAFoldedSectionAndOpensIt) {
    CFindBench bench({"P", "// top", "{-Background", "x% = 1", "speed% = x%", "}", "end"});
    bench.program.Session().SetCaret({1, 1});
    bench.Type(bench.dialog.FindCombo(), "SPEED");
    QTest::keyClick(bench.dialog.FindCombo()->lineEdit(), Qt::Key_Return);

    CEditSession& session = bench.program.Session();
    EXPECT_EQ(session.SelectionStart(), (CTextPos{1, 4}));
    EXPECT_EQ(session.SelectionStop(), (CTextPos{6, 4}));
    EXPECT_EQ(session.Caret(), (CTextPos{6, 4}));
    auto* header = static_cast<const CSectionHeader*>(bench.program.Document().Items().GetAt(2));
    EXPECT_TRUE(header->IsExpanded());
    EXPECT_EQ(bench.repaints, 1);
    ASSERT_EQ(bench.dialog.FindCombo()->count(), 1);
    EXPECT_EQ(bench.dialog.FindCombo()->itemText(0), QStringLiteral("SPEED"));
    EXPECT_EQ(bench.dialog.FindCombo()->currentText(), QStringLiteral("SPEED"));
}

TEST(FindReplaceDialog, MessagesOfFindAndReplaceAll) {
    struct {
        const char* name;
        const char* find;
        const char* replace;
        QPushButton* (RUX_CDlgFindReplace::*button)() const;
        QString message;
        std::string line;
    } cases[] = {
        {"nothing found", "zz", "", &RUX_CDlgFindReplace::FindNextButton,
         QStringLiteral("Finish searching for 'zz'"), "aaa"},
        {"replace all counts", "a", "aa", &RUX_CDlgFindReplace::ReplaceAllButton,
         QStringLiteral("Finish searching for 'a'.\n3 item(s) have been replaced."), "aaaaaa"},
        {"replace all without a match", "q", "x", &RUX_CDlgFindReplace::ReplaceAllButton,
         QStringLiteral("Finish searching for 'q'.\n0 item(s) have been replaced."), "aaa"},
    };
    for (const auto& c : cases) {
        CFindBench bench({"P", "aaa"});
        bench.Type(bench.dialog.FindCombo(), c.find);
        bench.Type(bench.dialog.ReplaceCombo(), c.replace);
        CBoxAnswerer boxes;
        QTest::mouseClick((bench.dialog.*c.button)(), Qt::LeftButton);
        ASSERT_EQ(boxes.Texts().size(), 1) << c.name;
        EXPECT_EQ(boxes.Texts()[0], c.message) << c.name;
        EXPECT_EQ(boxes.Titles()[0], QStringLiteral("RUX Editor")) << c.name;
        EXPECT_EQ(bench.program.Lines()[1], c.line) << c.name;
        EXPECT_TRUE(bench.dialog.isVisible()) << c.name;
    }
}

TEST(FindReplaceDialog, ReplaceTakesTheSelectedMatchThenSelectsTheNext) {
    CFindBench bench({"P", "ab ab", "ab"});
    bench.Type(bench.dialog.FindCombo(), "ab");
    bench.Type(bench.dialog.ReplaceCombo(), "X");
    QTest::mouseClick(bench.dialog.FindNextButton(), Qt::LeftButton);
    // Alt+R is the mnemonic of "&Replace".
    // A mnemonic presses the button at once and releases it a moment later.
    QTest::keyClick(&bench.dialog, Qt::Key_R, Qt::AltModifier);
    QTest::qWait(250);
    EXPECT_EQ(bench.program.Lines()[1], "X ab");
    CEditSession& session = bench.program.Session();
    EXPECT_EQ(session.SelectionStart(), (CTextPos{3, 1}));
    EXPECT_EQ(session.SelectionStop(), (CTextPos{5, 1}));
    EXPECT_EQ(bench.dialog.ReplaceCombo()->itemText(0), QStringLiteral("X"));
    EXPECT_EQ(bench.model.ReplaceCount(), 1);
}

TEST(FindReplaceDialog, ButtonsFollowTheFindTextAndTheView) {
    CFindBench writable({"P", "a"});
    EXPECT_FALSE(writable.dialog.FindNextButton()->isEnabled()); // no find text yet
    EXPECT_TRUE(writable.dialog.ReplaceButton()->isEnabled());
    writable.Type(writable.dialog.FindCombo(), "a");
    EXPECT_TRUE(writable.dialog.FindNextButton()->isEnabled());
    writable.dialog.FindCombo()->lineEdit()->clear();
    EXPECT_FALSE(writable.dialog.FindNextButton()->isEnabled());

    // A view that goes online may no longer be changed; the dialog asks when it is shown again.
    writable.program.Session().SetOnline(true);
    writable.dialog.ShowDialog();
    EXPECT_FALSE(writable.dialog.ReplaceButton()->isEnabled());
    EXPECT_FALSE(writable.dialog.ReplaceAllButton()->isEnabled());

    CFindBench readOnly({"P", "a"}, true);
    readOnly.Type(readOnly.dialog.FindCombo(), "a");
    EXPECT_TRUE(readOnly.dialog.FindNextButton()->isEnabled());
    EXPECT_FALSE(readOnly.dialog.ReplaceButton()->isEnabled());
    EXPECT_FALSE(readOnly.dialog.ReplaceAllButton()->isEnabled());
    // Alt+A on a disabled Replace All changes nothing.
    CBoxAnswerer boxes;
    QTest::keyClick(&readOnly.dialog, Qt::Key_A, Qt::AltModifier);
    QTest::qWait(250);
    EXPECT_EQ(readOnly.program.Lines()[1], "a");
    EXPECT_TRUE(boxes.Texts().isEmpty());

    readOnly.dialog.SetTarget(nullptr);
    EXPECT_FALSE(readOnly.dialog.FindNextButton()->isEnabled());
}

TEST(FindReplaceDialog, DoneAndEscapeHideButKeepEverything) {
    CFindBench bench({"P", "one", "two"});
    bench.Type(bench.dialog.FindCombo(), "one");
    bench.Type(bench.dialog.ReplaceCombo(), "1");
    CFindBench::Toggle(bench.dialog.MatchCaseBox());
    CFindBench::Toggle(bench.dialog.SearchDownBox());
    {
        CBoxAnswerer boxes;
        QTest::mouseClick(bench.dialog.ReplaceAllButton(), Qt::LeftButton);
    }
    QTest::mouseClick(bench.dialog.DoneButton(), Qt::LeftButton);
    EXPECT_FALSE(bench.dialog.isVisible());

    bench.dialog.ShowDialog();
    EXPECT_TRUE(bench.dialog.isVisible());
    EXPECT_EQ(bench.dialog.FindCombo()->currentText(), QStringLiteral("one"));
    EXPECT_TRUE(bench.dialog.FindCombo()->lineEdit()->hasSelectedText());
    EXPECT_EQ(bench.dialog.ReplaceCombo()->currentText(), QStringLiteral("1"));
    EXPECT_TRUE(bench.dialog.MatchCaseBox()->isChecked());
    EXPECT_FALSE(bench.dialog.SearchDownBox()->isChecked());
    EXPECT_EQ(bench.dialog.FindCombo()->count(), 1);

    QTest::keyClick(bench.dialog.FindCombo()->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(bench.dialog.isVisible());
    // A new dialog over the same model starts where the old one stopped.
    RUX_CDlgFindReplace again(bench.model);
    EXPECT_EQ(again.FindCombo()->currentText(), QStringLiteral("one"));
    EXPECT_TRUE(again.MatchCaseBox()->isChecked());
    EXPECT_FALSE(again.SearchDownBox()->isChecked());
}

TEST(FindReplaceDialog, HistoryKeepsTwentyNewestFirst) {
    CFindBench bench({"P", "x"});
    CBoxAnswerer boxes;
    for (int i = 1; i <= 22; ++i) {
        // No entry may begin another: the history skips a text that starts with a kept entry.
        const QString text = QStringLiteral("w%1-").arg(i);
        bench.Type(bench.dialog.FindCombo(), text.toLatin1().constData());
        QTest::keyClick(bench.dialog.FindCombo()->lineEdit(), Qt::Key_Return);
    }
    QComboBox* combo = bench.dialog.FindCombo();
    ASSERT_EQ(combo->count(), 20);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("w22-"));
    EXPECT_EQ(combo->itemText(19), QStringLiteral("w3-"));
    EXPECT_EQ(boxes.Texts().size(), 22);
}

TEST(FindReplaceDialog, MnemonicsReachTheFields) {
    CFindBench bench({"P", "x"});
    QTest::keyClick(&bench.dialog, Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(bench.dialog.ReplaceCombo()->hasFocus() || bench.dialog.ReplaceCombo()->lineEdit()->hasFocus());
    QTest::keyClick(&bench.dialog, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(bench.dialog.FindCombo()->hasFocus() || bench.dialog.FindCombo()->lineEdit()->hasFocus());
}

} // namespace
} // namespace rux
