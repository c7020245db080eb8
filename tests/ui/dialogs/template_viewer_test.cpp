// The Template Viewer and its name and template dialogs over a template folder of the test's own,
// driven from the keyboard; the files on disk are checked byte for byte.
#include "dialog_test_support.h"

#include "dialogs/accel_edit.h"
#include "dialogs/category_name_dialog.h"
#include "dialogs/edit_shortcut_dialog.h"
#include "dialogs/template_dialog.h"
#include "dialogs/template_viewer_dialog.h"
#include "editor/accel_mgr.h"
#include "shell/command_ids.h"
#include "shell/ini_file.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace rux {
namespace {

using test::CBoxAnswerer;
using test::WhenShown;

QStringList Texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Replaces a field's text by typing and presses Enter; a dialog that
// refused the name is then cancelled.
void Answer(QDialog& dialog, QLineEdit* name, const char* typed) {
    name->selectAll();
    QTest::keyClicks(name, QString::fromLatin1(typed));
    QTest::keyClick(name, Qt::Key_Return);
    if (dialog.isVisible()) dialog.reject();
}

struct CViewerBench {
    test::CTempDir dir;
    CIniFile settings{dir.Write("Torvel.ini", "[CatVisibility]\n")};
    CTplMgr templates{dir.File("Templates"), settings};
    std::vector<std::string> inserted;
    int changes = 0;
    bool canInsert = true;
    std::unique_ptr<CDlgTplViewer> viewer;
    explicit CViewerBench(const CAccelMgr* accels = nullptr) {
        dir.Write("Templates/Logic/Latch.txt",
                  "Shortcut=F9\ntpl_begin\nIF S% THEN L% = 1\n\tL% = 2\ntpl_end");
        dir.Write("Templates/Logic/Reset.txt", "tpl_begin\nL% = 0\ntpl_end");
        templates.Load();
        CTemplateViewerHost host;
        host.canInsert = [this] { return canInsert; };
        host.insert = [this](const std::string& body) { inserted.push_back(body); };
        host.changed = [this] {
            ++changes;
            templates.Load(); // as the editor reloads them
        };
        host.accels = accels;
        viewer = std::make_unique<CDlgTplViewer>(templates, std::move(host));
        viewer->show();
        QApplication::setActiveWindow(viewer.get());
    }
    std::string File(const std::string& rel) const {
        return test::CTempDir::Read(dir.File("Templates/" + rel));
    }
    bool Exists(const std::string& rel) const {
        return std::filesystem::exists(dir.File("Templates/" + rel));
    }
};

TEST(TemplateViewer, CategoriesAndTemplatesMadeRenamedAndDeletedOnDisk) {
    CViewerBench b;
    CDlgTplViewer& v = *b.viewer;
    CBoxAnswerer boxes(QMessageBox::Yes);
    auto name = [](const char* typed) {
        return [typed] { WhenShown<CDlgCategoryName>([typed](auto& d) { Answer(d, d.NameEdit(), typed); }); };
    };
    // A new template: name, then a body of two lines with a tab typed by Ctrl+Tab.
    auto tpl = [](const char* typed, const char* line1, const char* line2) {
        return [=] {
            WhenShown<CDlgTemplate>([=](CDlgTemplate& d) {
                QPlainTextEdit* body = d.BodyEdit();
                // Ctrl+Tab is a shortcut of the focused text box: the dialog must be the active window.
                QApplication::setActiveWindow(&d);
                body->setFocus();
                QTest::keyClick(body, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(body, QString::fromLatin1(line1));
                QTest::keyClick(body, Qt::Key_Return);
                QTest::keyClick(body, Qt::Key_Tab, Qt::ControlModifier);
                QTest::keyClicks(body, QString::fromLatin1(line2));
                d.NameEdit()->setFocus();
                Answer(d, d.NameEdit(), typed);
            });
        };
    };
    auto none = [] {};
    // The lists afterwards: the categories, then the templates of the chosen one.
    auto lists = [&] {
        return Texts(v.CategoryList()).join(", ") + " | " + Texts(v.TemplateList()).join(", ");
    };
    struct Step {
        const char* what;
        QPushButton* button;
        std::function<void()> answer;
        QMessageBox::StandardButton box;
        const char* shown; // the one box shown, if any
        int changes;
        QString lists;
        std::function<bool()> onDisk;
    };
    const char* askCategory = "You are about to delete a category.\nDo you want to continue?";
    const char* askTemplate = "You are about to delete a template.\nDo you want to continue?";
    const auto ok = QMessageBox::Ok;
    const Step steps[] = {
        {"new category", v.NewCategoryButton(), name("Pumps"), ok, nullptr, 1, "Logic, Pumps | ",
         [&] { return b.Exists("Pumps"); }},
        {"unusable", v.NewCategoryButton(), name("a:b"), ok, "Invalid Name.", 1, "Logic, Pumps | ",
         [&] { return !b.Exists("a:b"); }},
        {"rename", v.EditCategoryButton(), name("Pumping"), ok, nullptr, 2, "Logic, Pumping | ",
         [&] { return b.Exists("Pumping") && !b.Exists("Pumps"); }},
        {"new template", v.NewTemplateButton(), tpl("Prime", "P% = 1", "DELAY(5)"), ok, nullptr, 3,
         "Logic, Pumping | Prime",
         [&] {
             return b.File("Pumping/Prime.txt") == "Shortcut=\ntpl_begin\nP% = 1\r\n\tDELAY(5)\ntpl_end";
         }},
        {"template name taken", v.NewTemplateButton(), tpl("Prime", "x", "y"), ok,
         "A template with this name already exists.", 3, "Logic, Pumping | Prime", nullptr},
        {"edit template", v.EditTemplateButton(), tpl("Prime 2", "Q% = 1", "Q% = 2"), ok, nullptr, 4,
         "Logic, Pumping | Prime 2",
         [&] {
             return !b.Exists("Pumping/Prime.txt") &&
                    b.File("Pumping/Prime 2.txt") == "Shortcut=\ntpl_begin\nQ% = 1\r\n\tQ% = 2\ntpl_end";
         }},
        {"delete template, no", v.DeleteTemplateButton(), none, QMessageBox::No, askTemplate, 4,
         "Logic, Pumping | Prime 2", [&] { return b.Exists("Pumping/Prime 2.txt"); }},
        {"delete template, yes", v.DeleteTemplateButton(), none, QMessageBox::Yes, askTemplate, 5,
         "Logic, Pumping | ", [&] { return !b.Exists("Pumping/Prime 2.txt"); }},
        {"delete category", v.DeleteCategoryButton(), none, QMessageBox::Yes, askCategory, 6,
         "Logic | Latch, Reset", [&] { return !b.Exists("Pumping"); }},
    };
    for (const Step& s : steps) {
        const qsizetype before = boxes.Texts().size();
        boxes.SetAnswer(s.box);
        s.answer();
        ASSERT_TRUE(s.button->isEnabled()) << s.what;
        QTest::mouseClick(s.button, Qt::LeftButton);
        EXPECT_EQ(boxes.Texts().mid(before), s.shown ? QStringList{s.shown} : QStringList{}) << s.what;
        EXPECT_EQ(b.changes, s.changes) << s.what;
        EXPECT_EQ(lists(), s.lists) << s.what;
        if (s.onDisk) {
            EXPECT_TRUE(s.onDisk()) << s.what;
        }
        EXPECT_EQ(v.EditTemplateButton()->isEnabled(), !s.lists.endsWith("| ")) << s.what;
    }
    // The edit dialog opens on the chosen template and cannot move it to another category.
    CDlgEditTpl edit(v.Model());
    EXPECT_EQ(edit.NameEdit()->text(), "Latch");
    EXPECT_EQ(edit.BodyEdit()->toPlainText(), "IF S% THEN L% = 1\n\tL% = 2");
    EXPECT_FALSE(edit.CategoryBox()->isEnabled());
}

TEST(TemplateViewer, ShowsTheChosenTemplateAndInsertsItFromTheKeyboard) {
    CViewerBench b;
    CDlgTplViewer& v = *b.viewer;
    ASSERT_EQ(v.CategoryList()->currentItem()->text(), "Logic");
    EXPECT_EQ(v.TemplateList()->currentItem()->text(), "Latch");
    EXPECT_EQ(v.TextView()->toPlainText(), "IF S% THEN L% = 1\n\tL% = 2");
    EXPECT_EQ(v.ShortcutLabel()->text(), "F9");
    EXPECT_FALSE(v.ShortcutKeyButton()->isEnabled());

    v.TemplateList()->setFocus();
    QTest::keyClick(v.TemplateList(), Qt::Key_Down);
    EXPECT_EQ(v.TextView()->toPlainText(), "L% = 0");
    EXPECT_EQ(v.ShortcutLabel()->text(), "None");

    // Hiding the category from the menu is stored at once and the editor told.
    v.ShowInMenu()->setFocus();
    QTest::keyClick(v.ShowInMenu(), Qt::Key_Space);
    EXPECT_FALSE(v.ShowInMenu()->isChecked());
    EXPECT_EQ(b.settings.GetInt("CatVisibility", "Logic", -1), 0);
    EXPECT_EQ(b.changes, 1);

    // No view that takes text: Insert is greyed and Enter does nothing.
    b.canInsert = false;
    QTest::keyClick(v.TemplateList(), Qt::Key_Up);
    EXPECT_FALSE(v.InsertButton()->isEnabled());
    QTest::keyClick(v.TemplateList(), Qt::Key_Return);
    EXPECT_TRUE(b.inserted.empty());
    EXPECT_TRUE(v.isVisible());

    b.canInsert = true;
    QTest::keyClick(v.TemplateList(), Qt::Key_Down);
    QTest::keyClick(v.TemplateList(), Qt::Key_Return);
    EXPECT_EQ(b.inserted, (std::vector<std::string>{"L% = 0"}));
    EXPECT_FALSE(v.isVisible()) << "Insert closes the viewer";
    EXPECT_EQ(v.result(), QDialog::Accepted);

    v.show();
    v.CategoryList()->setFocus();
    QTest::keyClick(v.CategoryList(), Qt::Key_Escape);
    EXPECT_FALSE(v.isVisible());
    EXPECT_EQ(v.result(), QDialog::Rejected);
    EXPECT_EQ(b.inserted.size(), 1u);
}

TEST(TemplateViewer, ShortcutKeyWritesTheChosenTemplatesNewKey) {
    CAccelMgr accels;
    const int commands[] = {ID_EDIT_COPY};
    accels.BuildTable(CAccelMgr::kProgramMenu, commands);
    CViewerBench b(&accels);
    CDlgTplViewer& v = *b.viewer;
    ASSERT_TRUE(v.ShortcutKeyButton()->isEnabled());
    const char* body = "tpl_begin\nIF S% THEN L% = 1\r\n\tL% = 2\ntpl_end";

    struct Step {
        std::function<void(CDlgEditShortcut&)> inDialog;
        const char* shown;
        const char* keyLine;
        int changes;
    };
    const Step steps[] = {
        {[](CDlgEditShortcut& d) {
             EXPECT_EQ(d.Field()->text(), "F9") << "opens on the template's own key";
             QTest::keyClick(d.Field(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
             d.AssignButton()->click();
         },
         "Ctrl+Shift+F5", "Shortcut=Ctrl+Shift+F5\n", 1},
        // Cancel and an unchanged key write nothing.
        {[](CDlgEditShortcut& d) { d.reject(); }, "Ctrl+Shift+F5", "Shortcut=Ctrl+Shift+F5\n", 1},
        {[](CDlgEditShortcut& d) { d.AssignButton()->click(); }, "Ctrl+Shift+F5", "Shortcut=Ctrl+Shift+F5\n", 1},
        {[](CDlgEditShortcut& d) {
             d.ClearButton()->click();
             d.AssignButton()->click();
         },
         "None", "Shortcut=\n", 2},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.shown);
        WhenShown<CDlgEditShortcut>(step.inDialog);
        v.ShortcutKeyButton()->click();
        EXPECT_EQ(b.File("Logic/Latch.txt"), std::string(step.keyLine) + body);
        EXPECT_EQ(v.ShortcutLabel()->text(), step.shown);
        EXPECT_EQ(v.TemplateList()->currentItem()->text(), "Latch");
        EXPECT_EQ(b.changes, step.changes);
    }
}

} // namespace
} // namespace rux
