// Which window has the keyboard after one of the editor's windows closes, and at start-up.
#include "frame/focus_keeper.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rux {
namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(5);
    }
}

// A frame with a program view and a tree beside it, and the keeper over them, shown unless asked
// not to. Nothing is active when a case starts, as on an X server without a window manager once a
// window has gone.
struct CFrameStandIn {
    explicit CFrameStandIn(bool show = true) {
        frame = std::make_unique<QWidget>();
        frame->setObjectName("frame");
        auto* layout = new QVBoxLayout(frame.get());
        tree = new QLineEdit(frame.get());
        tree->setObjectName("tree");
        view = new QLineEdit(frame.get());
        view->setObjectName("view");
        layout->addWidget(tree);
        layout->addWidget(view);
        keeper = std::make_unique<CFocusKeeper>(*frame, [this]() -> QWidget* { return view; });
        frame->resize(400, 300);
        if (!show) return;
        frame->show();
        Settle();
    }
    ~CFrameStandIn() {
        keeper.reset();
        frame.reset();
        Settle();
    }
    QDialog* NewDialog(QWidget* parent, const char* name, bool modal) const {
        auto* dialog = new QDialog(parent);
        dialog->setObjectName(name);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setModal(modal);
        auto* edit = new QLineEdit(dialog);
        (new QVBoxLayout(dialog))->addWidget(edit);
        return dialog;
    }
    static void Activate(QWidget* window) {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        Settle();
    }
    static void CloseWithEscape(QWidget* dialog) {
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        Settle();
    }
    static std::string ActiveName() {
        QWidget* active = QApplication::activeWindow();
        return active ? active->objectName().toStdString() : "(none)";
    }
    static std::string FocusName() {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName().toStdString() : "(none)";
    }

    std::unique_ptr<QWidget> frame;
    QLineEdit* tree = nullptr;
    QLineEdit* view = nullptr;
    std::unique_ptr<CFocusKeeper> keeper;
};

TEST(FocusKeeper, StartUpActivatesTheFrameWithTheProgramViewFocused) {
    CFrameStandIn s(false);
    s.tree->setFocus();
    s.frame->show();
    Settle();
    EXPECT_EQ(CFrameStandIn::ActiveName(), "frame");
    EXPECT_EQ(CFrameStandIn::FocusName(), "view");
}

TEST(FocusKeeper, ClosingAWindowHandsTheKeyboardToTheRightOne) {
    // Each case opens windows in order (each owned by the one before, "frame" being the frame), then
    // closes the last one with Escape.
    struct Row {
        const char* what;
        bool firstModal;
        bool secondModal; // only when there is a second window
        bool twoWindows;
        bool treeHadFocus;
        bool treeGoes; // hidden while the dialog is open
        const char* active;
        const char* focus;
    };
    const Row rows[] = {
        {"modal dialog over the frame", true, false, false, false, false, "frame", "view"},
        {"modeless dialog over the frame", false, false, false, false, false, "frame", "view"},
        {"the tree had the focus before the dialog", true, false, false, true, false, "frame", "tree"},
        {"the tree had the focus and went meanwhile", true, false, false, true, true, "frame", "view"},
        {"message box over a modal dialog", true, true, true, false, false, "first", "first-edit"},
        {"message box over a modeless dialog", false, true, true, false, false, "first", "first-edit"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CFrameStandIn s;
        (row.treeHadFocus ? s.tree : s.view)->setFocus();
        QDialog* first = s.NewDialog(s.frame.get(), "first", row.firstModal);
        first->findChild<QLineEdit*>()->setObjectName("first-edit");
        CFrameStandIn::Activate(first);
        first->findChild<QLineEdit*>()->setFocus();
        QDialog* last = first;
        if (row.twoWindows) {
            last = s.NewDialog(first, "second", row.secondModal);
            CFrameStandIn::Activate(last);
        }
        if (row.treeGoes) s.tree->hide();
        // The window system gives the keyboard to nobody when the window goes.
        QApplication::setActiveWindow(nullptr);
        CFrameStandIn::CloseWithEscape(last);
        EXPECT_EQ(CFrameStandIn::ActiveName(), row.active);
        EXPECT_EQ(CFrameStandIn::FocusName(), row.focus);
        if (row.twoWindows) delete first;
    }
}

TEST(FocusKeeper, LeavesTheKeyboardWhereAnotherOpenWindowOrAMenuHasIt) {
    CFrameStandIn s;
    // A modeless dialog that stays open and active while a box of the frame closes.
    QDialog* find = s.NewDialog(s.frame.get(), "find", false);
    QDialog* box = s.NewDialog(s.frame.get(), "box", false);
    CFrameStandIn::Activate(box);
    CFrameStandIn::Activate(find);
    box->close();
    Settle();
    EXPECT_EQ(CFrameStandIn::ActiveName(), "find");

    // An open menu keeps the keyboard: nothing is to be activated while it is up.
    QPointer<QMenu> menu = new QMenu(s.frame.get());
    menu->addAction("entry");
    QTimer::singleShot(0, menu, [&] {
        EXPECT_EQ(s.keeper->NextActiveWindow(find), nullptr);
        menu->close();
    });
    menu->exec(QPoint(10, 10));
    delete menu;
    delete find;
}

TEST(FocusKeeper, LeavingTheMenuBarGivesTheKeyboardBackToTheView) {
    // Each case presses its keys in the frame with the view focused, one key at a time to whatever
    // window has the keyboard then; the view must have it back at the end.
    struct Row {
        const char* what;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
    };
    const Qt::KeyboardModifiers alt = Qt::AltModifier, none = Qt::NoModifier;
    const Row rows[] = {
        {"one menu opened and left", {{Qt::Key_E, alt}, {Qt::Key_Escape, none}, {Qt::Key_Escape, none}}},
        {"a second menu opened from the highlighted bar",
         {{Qt::Key_E, alt},
          {Qt::Key_Escape, none},
          {Qt::Key_V, alt},
          {Qt::Key_Escape, none},
          {Qt::Key_Escape, none}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CFrameStandIn s;
        auto* bar = new QMenuBar(s.frame.get());
        bar->setNativeMenuBar(false);
        s.frame->layout()->setMenuBar(bar);
        for (const char* title : {"&Edit", "&View"})
            bar->addMenu(title)->addAction("entry");
        CFrameStandIn::Activate(s.frame.get());
        s.view->setFocus();
        Settle();
        for (const auto& [key, modifiers] : row.keys) {
            QWidget* target = QApplication::activePopupWidget();
            if (!target) target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            QTest::keyClick(target, key, modifiers);
            Settle();
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(CFrameStandIn::FocusName(), "view");
    }
}

TEST(FocusKeeper, AltF4ClosesTheActiveWindowOnly) {
    struct Row {
        const char* what;
        bool withDialog;
        Qt::KeyboardModifiers modifiers;
        bool dialogOpenAfter;
        bool frameOpenAfter;
    };
    const Row rows[] = {
        {"Alt+F4 in a dialog cancels the dialog", true, Qt::AltModifier, false, true},
        {"Alt+F4 in the frame closes the frame", false, Qt::AltModifier, false, false},
        {"F4 alone closes nothing", false, Qt::NoModifier, false, true},
        {"Ctrl+Alt+F4 closes nothing", true, Qt::AltModifier | Qt::ControlModifier, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CFrameStandIn s;
        QPointer<QDialog> dialog;
        bool rejected = false;
        if (row.withDialog) {
            dialog = s.NewDialog(s.frame.get(), "dialog", true);
            dialog->setAttribute(Qt::WA_DeleteOnClose, false);
            QObject::connect(dialog, &QDialog::rejected, [&] { rejected = true; });
            CFrameStandIn::Activate(dialog);
        } else {
            CFrameStandIn::Activate(s.frame.get());
        }
        QWidget* target = row.withDialog ? dialog->findChild<QLineEdit*>() : s.view;
        QTest::keyClick(target, Qt::Key_F4, row.modifiers);
        Settle();
        if (row.withDialog) {
            EXPECT_EQ(dialog->isVisible(), row.dialogOpenAfter);
            EXPECT_EQ(rejected, !row.dialogOpenAfter);
        }
        EXPECT_EQ(s.frame->isVisible(), row.frameOpenAfter);
        delete dialog;
    }
}

} // namespace
} // namespace rux
