#include "dialog_test_support.h"

#include "dialogs/properties_dialog.h"
#include "support/fake_target.h"
#include "target/library_service.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CFakeLibraries;
using Form = CNodePropertiesForm;
using test::CBoxAnswerer;

CRuxHeader Header(const std::string& library = {}) {
    CRuxHeader h;
    h.Author = "Ann";
    h.Title = "Belt";
    h.Type = "KESTREL";
    h.Debug = 1;
    h.Source = 1;
    h.FloatingPoint = 0;
    h.Library = library;
    return h;
}

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(widget, key, modifiers);
    QTest::qWait(150); // a mnemonic releases its button a moment after the key
}

// The form's values in the controls; read-only, every control is disabled.
TEST(PropertiesDialog, ShowsTheForm) {
    for (bool readOnly : {false, true}) {
        test::CFakeTarget target;
        Form form(Header(), target, readOnly);
        CFakeLibraries libraries;
        CDlgProperties dialog(form, libraries);
        EXPECT_EQ(dialog.Edit(Form::kAuthor)->text(), QStringLiteral("Ann"));
        EXPECT_EQ(dialog.Edit(Form::kTitle)->text(), QStringLiteral("Belt"));
        EXPECT_TRUE(dialog.CheckBox(Form::kDebug)->isChecked());
        // FloatingPoint 0 is fixed-point parameter access.
        EXPECT_TRUE(dialog.CheckBox(Form::kFixedPoint)->isChecked());
        EXPECT_FALSE(dialog.Edit(Form::kLibraryName)->isEnabled());
        for (int i = 0; i < Form::kControlCount && readOnly; ++i) {
            const auto control = static_cast<Form::EControl>(i);
            QWidget* widget =
                Form::IsEdit(control) ? static_cast<QWidget*>(dialog.Edit(control)) : dialog.CheckBox(control);
            EXPECT_FALSE(widget->isEnabled()) << i;
        }
    }
}

TEST(PropertiesDialog, BuildAsLibraryFromTheKeyboardSwapsTheBoxes) {
    test::CFakeTarget target;
    Form form(Header(), target, false);
    CFakeLibraries libraries;
    CDlgProperties dialog(form, libraries);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    Press(&dialog, Qt::Key_I, Qt::AltModifier); // "Build As l&ibrary"
    EXPECT_TRUE(dialog.CheckBox(Form::kBuildAsLibrary)->isChecked());
    EXPECT_FALSE(dialog.CheckBox(Form::kDebug)->isChecked());
    EXPECT_FALSE(dialog.CheckBox(Form::kDebug)->isEnabled());
    EXPECT_FALSE(dialog.CheckBox(Form::kSource)->isEnabled());
    EXPECT_TRUE(dialog.Edit(Form::kLibraryName)->isEnabled());

    // Back again: the boxes return with the values they had when the dialog opened.
    Press(&dialog, Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(dialog.CheckBox(Form::kDebug)->isChecked());
    EXPECT_TRUE(dialog.CheckBox(Form::kSource)->isEnabled());
    EXPECT_FALSE(dialog.Edit(Form::kLibraryName)->isEnabled());
    Press(&dialog, Qt::Key_T, Qt::AltModifier); // "&Title:"
    EXPECT_EQ(dialog.focusWidget(), dialog.Edit(Form::kTitle));
}

TEST(PropertiesDialog, OkWithABadLibraryNameShowsItsMessageAndStays) {
    struct {
        const char* name;
        const char* typed;
        int answer;
        const char* message; // null: accepted
        size_t created;
    } cases[] = {
        {"not an identifier", "1abc", 1,
         "Invalid Library name.  \n\nMust be of the form - [letter]+[one or more alpha-numeric chars]", 0},
        {"service says no", "Lib2", 0, nullptr, 1},
        {"created", "Lib2", 1, nullptr, 1},
    };
    for (const auto& c : cases) {
        test::CFakeTarget target;
        Form form(Header("MyLib"), target, false);
        CFakeLibraries libraries;
        libraries.answer = c.answer;
        CDlgProperties dialog(form, libraries);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QLineEdit* library = dialog.Edit(Form::kLibraryName);
        ASSERT_TRUE(library->isEnabled()) << c.name;
        library->selectAll();
        QTest::keyClicks(library, QString::fromLatin1(c.typed));
        CBoxAnswerer boxes;
        QTest::keyClick(library, Qt::Key_Return);
        EXPECT_EQ(libraries.created.size(), c.created) << c.name;
        const bool stayed = c.message || c.answer == 0;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, !stayed) << c.name;
        EXPECT_EQ(dialog.isVisible(), stayed) << c.name;
        if (c.message) {
            ASSERT_EQ(boxes.Texts().size(), 1) << c.name;
            EXPECT_EQ(boxes.Texts()[0], QString::fromLatin1(c.message)) << c.name;
            EXPECT_EQ(boxes.Titles()[0], QStringLiteral("RUX Editor")) << c.name;
        } else {
            EXPECT_TRUE(boxes.Texts().isEmpty()) << c.name;
        }
        if (stayed) {
            EXPECT_EQ(dialog.focusWidget(), library) << c.name;
            EXPECT_EQ(library->selectedText(), library->text()) << c.name;
        }
    }
}

} // namespace
} // namespace rux
