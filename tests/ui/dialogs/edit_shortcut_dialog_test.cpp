// The Edit Shortcut Key dialog with real key events: what the field captures, who has the key, Assign.
#include "dialog_test_support.h"

#include "dialogs/accel_edit.h"
#include "dialogs/edit_shortcut_dialog.h"
#include "editor/accel_mgr.h"
#include "shell/command_ids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace rux {
namespace {

// Copy and Cut with their menu keys, and Insert, which runs a command no menu shows.
CAccelMgr EditAccelerators() {
    CAccelMgr accels;
    const int commands[] = {ID_EDIT_COPY, ID_EDIT_CUT};
    accels.BuildTable(CAccelMgr::kProgramMenu, commands);
    return accels;
}

std::string FrameMenuText(int command) {
    return command == ID_EDIT_COPY ? "Copy" : command == ID_EDIT_CUT ? "Cut" : "";
}

struct CShownDialog {
    explicit CShownDialog(const CAccelMgr& accels, const std::string& current = {})
        : dialog(accels, FrameMenuText, current) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    CAccelEdit* Field() const { return dialog.Field(); }
    CDlgEditShortcut dialog;
};

struct CPress {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

TEST(EditShortcutDialog, FieldShowsThePressedCombinationAndLeavesTheDialogItsKeys) {
    const CAccelMgr accels = EditAccelerators();
    struct Row {
        const char* current;
        std::vector<CPress> presses;
        const char* shown;
        bool fieldKeepsFocus;
        const char* assignedTo;
    };
    const Row rows[] = {
        {"", {{Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier}}, "Ctrl+Shift+F5", true, "None"},
        {"", {{Qt::Key_Q, Qt::NoModifier}}, "", true, "None"},
        {"", {{Qt::Key_F7, Qt::NoModifier}}, "F7", true, "None"},
        {"", {{Qt::Key_C, Qt::ControlModifier}}, "Ctrl+C", true, "Copy"},
        {"", {{Qt::Key_Insert, Qt::NoModifier}}, "", true, "None"},
        {"Insert", {}, "INSERT", true, "An existing command"},
        // The dialog's own mnemonic must not fire while the field has the focus.
        {"", {{Qt::Key_A, Qt::AltModifier}}, "Alt+A", true, "None"},
        {"", {{Qt::Key_Exclam, Qt::ShiftModifier}}, "Shift+1", true, "None"},
        {"", {{Qt::Key_5, Qt::ControlModifier | Qt::KeypadModifier}}, "Ctrl+NUMPAD5", true, "None"},
        {"ctrl+x", {{Qt::Key_Q, Qt::NoModifier}}, "", true, "None"},
        {"ctrl+x", {}, "Ctrl+X", true, "Cut"},
        {"ctrl+x", {{Qt::Key_Tab, Qt::NoModifier}}, "Ctrl+X", false, "Cut"},
        {"ctrl+x", {{Qt::Key_Backtab, Qt::ShiftModifier}}, "Ctrl+X", false, "Cut"},
        {"ctrl+x", {{Qt::Key_Delete, Qt::NoModifier}}, "Ctrl+X", true, "Cut"},
    };
    for (const Row& row : rows) {
        CShownDialog shown(accels, row.current);
        CAccelEdit* field = shown.Field();
        ASSERT_EQ(QApplication::focusWidget(), field) << row.shown;
        for (const CPress& press : row.presses)
            QTest::keyClick(field, press.key, press.modifiers);
        EXPECT_EQ(field->text().toStdString(), row.shown) << row.current << " -> " << row.shown;
        EXPECT_EQ(field->Shortcut(), row.shown) << row.shown;
        EXPECT_EQ(QApplication::focusWidget() == field, row.fieldKeepsFocus) << row.shown;
        EXPECT_EQ(shown.dialog.AssignedTo()->text().toStdString(), row.assignedTo) << row.shown;
        EXPECT_TRUE(shown.dialog.isVisible()) << row.shown;
    }
}

TEST(EditShortcutDialog, ModifiersShowWhileHeldAndAClickOnlyFocuses) {
    const CAccelMgr accels = EditAccelerators();
    CShownDialog shown(accels, "F7");
    CAccelEdit* field = shown.Field();
    QTest::keyPress(field, Qt::Key_Control);
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+")) << "a new press after a locked key starts over";
    EXPECT_EQ(field->Shortcut(), "F7") << "until a key comes";
    QTest::keyPress(field, Qt::Key_Shift, Qt::ControlModifier);
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+Shift+"));
    // QTest would let go of every modifier named: Shift alone, with Ctrl still down.
    QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(field, &shiftUp);
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+"));
    QTest::keyRelease(field, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(field->text(), QStringLiteral("F7")) << "let go without a key";

    QTest::keyClick(field, Qt::Key_F2, Qt::AltModifier);
    shown.dialog.ClearButton()->setFocus();
    QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, QPoint(2, field->height() / 2));
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->text(), QStringLiteral("Alt+F2"));
    EXPECT_FALSE(field->hasSelectedText());
    QTest::mouseDClick(field, Qt::LeftButton);
    EXPECT_FALSE(field->hasSelectedText()) << "a double click selects nothing either";
}

TEST(EditShortcutDialog, AssignRefusesAKeyInUseAndClearGivesNone) {
    const CAccelMgr accels = EditAccelerators();
    struct Row {
        const char* current;
        std::function<void(CShownDialog&)> act;
        bool accepted;
        const char* shortcut;
    };
    const Row rows[] = {
        {"F7", [](CShownDialog& d) { QTest::keyClick(d.Field(), Qt::Key_C, Qt::ControlModifier); }, false,
         ""},
        {"", [](CShownDialog& d) { QTest::keyClick(d.Field(), Qt::Key_F9, Qt::ShiftModifier); }, true,
         "Shift+F9"},
        {"ctrl+c", [](CShownDialog&) {}, true, "Ctrl+C"}, // its own key, unchanged
        {"Shift+F4", [](CShownDialog& d) { d.dialog.ClearButton()->click(); }, true, ""},
    };
    for (const Row& row : rows) {
        CShownDialog shown(accels, row.current);
        row.act(shown);
        test::CBoxAnswerer boxes;
        QTest::keyClick(shown.Field(), Qt::Key_Return); // Enter assigns
        QTest::qWait(30);
        EXPECT_EQ(shown.dialog.result() == QDialog::Accepted, row.accepted) << row.current;
        EXPECT_EQ(shown.dialog.isVisible(), !row.accepted) << row.current;
        if (row.accepted) {
            EXPECT_EQ(shown.dialog.Shortcut(), row.shortcut) << row.current;
            EXPECT_TRUE(boxes.Texts().isEmpty()) << row.current;
        } else {
            EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("This shortcut is already assigned.")})
                << row.current;
            // The box has closed; the dialog hands the focus back to the field when it is active again.
            EXPECT_EQ(shown.dialog.focusWidget(), shown.Field()) << row.current;
            EXPECT_EQ(shown.Field()->text(), QStringLiteral("Ctrl+C"));
        }
    }

    CShownDialog cleared(accels, "Ctrl+C");
    EXPECT_EQ(cleared.dialog.AssignedTo()->text(), QStringLiteral("Copy"));
    cleared.dialog.ClearButton()->click();
    EXPECT_EQ(cleared.Field()->text(), QString());
    EXPECT_EQ(cleared.dialog.AssignedTo()->text(), QStringLiteral("None"));
    EXPECT_EQ(QApplication::focusWidget(), cleared.Field());
}

} // namespace
} // namespace rux
