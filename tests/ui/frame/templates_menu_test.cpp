// The Templates menu and the templates' keys of a running editor.
#include "editor_harness.h"

#include "../dialogs/dialog_test_support.h"
#include "dialogs/category_name_dialog.h"
#include "dialogs/template_dialog.h"
#include "dialogs/template_viewer_dialog.h"
#include "editor/edit_session.h"
#include "frame/mdi_child.h"
#include "shell/command_ids.h"
#include "view/rux_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

using test::CEditorHarness;

QMenu* TemplatesMenu(CMainFrame& frame) {
    for (QMenu* menu : frame.CurrentMenuBar()->findChildren<QMenu*>())
        if (menu->title() == "Te&mplates") return menu;
    return nullptr;
}

// What a menu shows: entries by text (sub-menus as "name >"), "-" for a visible separator.
QStringList Shown(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible()) continue;
        out << (a->isSeparator() ? QString("-") : a->menu() ? a->text() + " >" : a->text());
    }
    return out;
}

// Replaces the shipped templates by a Pumps category with Prime (Ctrl+Shift+P); the folder.
std::string OwnTemplates(const CEditorHarness& h) {
    const std::string root = h.Product() + "/Templates";
    std::filesystem::remove(root);
    std::filesystem::create_directories(root + "/Pumps");
    CEditorHarness::Write(root + "/Pumps/Prime.txt", "Shortcut=Ctrl+Shift+P\ntpl_begin\nPrime% = 1\n\tDELAY(500)\ntpl_end");
    return root;
}

// Opens the program both tests edit, with the frame shown and active.
void StartOnProgram(CEditorHarness& h) {
    const std::string path = h.Root() + "/p.rux";
    CEditorHarness::Write(path, test::DialogProgram({"P", "{Background", "top:", "goto top:", "}"}));
    ASSERT_TRUE(h.Start({path}));
    h.Frame().show();
    QApplication::setActiveWindow(&h.Frame());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.Frame()));
}

QStringList ItemTexts(CRUXView& view) {
    QStringList out;
    for (const CItem* item : view.Document().Items()) out << QString::fromStdString(item->GetText());
    return out;
}

TEST(TemplatesMenu, CategoriesByNameAndAKeyThatInsertsTheTemplate) {
    CEditorHarness h;
    const std::string root = OwnTemplates(h);
    std::filesystem::create_directories(root + "/Hidden");
    std::filesystem::create_directories(root + "/Empty");
    CEditorHarness::Write(root + "/Pumps/Drain & vent.txt", "tpl_begin\nDrain% = 1\ntpl_end");
    CEditorHarness::Write(root + "/Hidden/H.txt", "tpl_begin\nh\ntpl_end");
    h.WriteSettings("[CatVisibility]\nHidden=0\n");
    StartOnProgram(h);
    if (HasFatalFailure()) return;
    CMainFrame& frame = h.Frame();

    QMenu* menu = TemplatesMenu(frame);
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    EXPECT_EQ(Shown(menu), (QStringList{"Template Viewer...", "-", "Pumps >"}));
    EXPECT_TRUE(frame.Action(ID_TEMPLATE_VIEWER)->isEnabled());
    QMenu* pumps = menu->actions().last()->menu();
    EXPECT_EQ(Shown(pumps), (QStringList{"Drain && vent", "Prime\tCtrl+Shift+P"}));

    auto& view = *qobject_cast<CRUXView*>(frame.Children().at(0)->View());
    CEditSession& session = view.Session();
    auto lines = [&view] { return ItemTexts(view); };
    const QStringList before = lines();
    view.setFocus();
    view.GoToItem(3);
    QTest::keyClick(&view, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    CEditorHarness::Settle(10);
    EXPECT_EQ(lines().mid(3, 3), (QStringList{"Prime% = 1", "\tDELAY(500)", "goto top:"}));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    CEditorHarness::Settle(10);
    EXPECT_EQ(lines(), before) << "one undo";

    // Online the entries are greyed and the key does nothing; the menu of no program has no keys.
    session.SetOnline(true);
    frame.UpdateCommandStates();
    QAction* prime = pumps->actions().last();
    EXPECT_FALSE(prime->isEnabled());
    session.SetOnline(false);
    view.Document().SetModified(false);
    frame.Children().at(0)->close();
    CEditorHarness::Settle();
    ASSERT_EQ(frame.CurrentMenuId(), 128);
    EXPECT_TRUE(prime->shortcut().isEmpty());
    EXPECT_EQ(frame.Action(ID_FILE_OPEN)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

TEST(TemplatesMenu, TheViewerInsertsAtTheCaretAndEveryChangeRebuildsTheMenu) {
    CEditorHarness h;
    const std::string root = OwnTemplates(h);
    StartOnProgram(h);
    if (HasFatalFailure()) return;
    CMainFrame& frame = h.Frame();
    QMenu* menu = TemplatesMenu(frame);
    ASSERT_NE(menu, nullptr);
    auto& view = *qobject_cast<CRUXView*>(frame.Children().at(0)->View());
    auto lines = [&view] { return ItemTexts(view); };
    const QStringList before = lines();
    view.GoToItem(3);

    QStringList hidden, renewed;
    std::string settingsWhileHidden;
    test::WhenShown<CDlgTplViewer>([&](CDlgTplViewer& viewer) {
        QApplication::setActiveWindow(&viewer);
        viewer.ShowInMenu()->click();
        emit menu->aboutToShow();
        hidden = Shown(menu);
        settingsWhileHidden = h.SettingsText();
        viewer.ShowInMenu()->click();
        // A second template renumbers both; the viewer finds Prime again by name.
        test::WhenShown<CDlgTemplate>([](CDlgTemplate& d) {
            QTest::keyClicks(d.BodyEdit(), "Vent% = 1");
            QTest::keyClicks(d.NameEdit(), "A vent");
            QTest::keyClick(d.NameEdit(), Qt::Key_Return);
        });
        viewer.NewTemplateButton()->click();
        emit menu->aboutToShow();
        renewed = Shown(menu->actions().last()->menu());
        viewer.TemplateList()->setCurrentRow(1);
        viewer.TemplateList()->setFocus();
        QTest::keyClick(viewer.TemplateList(), Qt::Key_Return);
    });
    frame.Action(ID_TEMPLATE_VIEWER)->trigger();
    CEditorHarness::Settle(10);
    EXPECT_EQ(hidden, (QStringList{"Template Viewer..."})) << "a hidden category leaves the menu";
    EXPECT_NE(settingsWhileHidden.find("Pumps=0"), std::string::npos) << settingsWhileHidden;
    EXPECT_EQ(renewed, (QStringList{"A vent", "Prime\tCtrl+Shift+P"}));
    EXPECT_EQ(CEditorHarness::Read(root + "/Pumps/A vent.txt"), "Shortcut=\ntpl_begin\nVent% = 1\ntpl_end");
    EXPECT_EQ(lines().mid(3, 3), (QStringList{"Prime% = 1", "\tDELAY(500)", "goto top:"}));
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    CEditorHarness::Settle(10);
    EXPECT_EQ(lines(), before) << "one undo";
    // The renumbered entry inserts its own text.
    QAction* vent = menu->actions().last()->menu()->actions().first();
    vent->trigger();
    CEditorHarness::Settle(10);
    EXPECT_EQ(lines().at(3), "Vent% = 1");
}

// Ctrl+F6 steps to the next program window only while no template claims the key.
TEST(TemplatesMenu, ATemplateGivenCtrlF6KeepsTheKey) {
    CEditorHarness h;
    const std::string root = h.Product() + "/Templates";
    std::filesystem::remove(root);
    std::filesystem::create_directories(root + "/Pumps");
    CEditorHarness::Write(root + "/Pumps/Vent.txt", "Shortcut=Ctrl+F6\ntpl_begin\nVent% = 1\ntpl_end");
    StartOnProgram(h);
    if (HasFatalFailure()) return;
    CMainFrame& frame = h.Frame();
    const std::string other = h.Root() + "/other.rux";
    CEditorHarness::Write(other, test::DialogProgram({"P", "{Clock", "x = 1", "}"}));
    ASSERT_NE(h.app->OpenDocumentFile(other), nullptr);
    CEditorHarness::Settle();
    RUX_CMDIChildWnd* active = frame.ActiveChild();
    auto& view = *qobject_cast<CRUXView*>(active->View());
    view.setFocus();
    view.GoToItem(2);
    QTest::keyClick(&view, Qt::Key_F6, Qt::ControlModifier);
    CEditorHarness::Settle(10);
    EXPECT_EQ(frame.ActiveChild(), active) << "the window stays";
    EXPECT_EQ(ItemTexts(view).at(2), "Vent% = 1");
}

} // namespace
} // namespace rux
