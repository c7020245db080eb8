#include "dialog_test_support.h"

#include "dialogs/properties_dialog.h"
#include "document/header_item.h"
#include "document/rux_document.h"
#include "document/string_table.h"
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

TEST(PropertiesDialog, ShowsTheFormWithTextsAndToolTips) {
    test::CFakeTarget target;
    const CRuxHeader header = Header();
    Form form(header, target, false);
    CFakeLibraries libraries;
    CDlgProperties dialog(form, libraries);
    EXPECT_EQ(dialog.Edit(Form::kAuthor)->text(), QStringLiteral("Ann"));
    EXPECT_EQ(dialog.Edit(Form::kTitle)->text(), QStringLiteral("Belt"));
    EXPECT_TRUE(dialog.CheckBox(Form::kDebug)->isChecked());
    // FloatingPoint 0 is fixed-point parameter access.
    EXPECT_TRUE(dialog.CheckBox(Form::kFixedPoint)->isChecked());
    EXPECT_FALSE(dialog.Edit(Form::kLibraryName)->isEnabled());
    const struct {
        Form::EControl control;
        const char* text;
        const char* tip;
    } boxes[] = {
        {Form::kUserProgEnabled, "User &programming enabled", "Allows a user program to be built and downloaded for a target"},
        {Form::kDebug, "Embed de&bug information", "Allow debugging facilities such as single-stepping and breakpoints"},
        {Form::kV3, "VQ7Z e&xtended memory", "Use extra RAM and flash memory available to VQ7Z drives"},
        {Form::kSource, "Embed &source file", "Download source code to target so that it can be uploaded at a later date"},
        {Form::kBuildAsLibrary, "Build As l&ibrary", "Build the RUX program as a library and not an executable user program"},
        {Form::kFixedPoint, "&Fixed point parameter operations enabled",
         "Make parameter reading and writing a fixed point operation as in HalmLite"},
        {Form::kClonable, "Allow this program to be cloned",
         "Allow the user program to be cloned to another device such as a smartcard"},
    };
    for (const auto& b : boxes) {
        EXPECT_EQ(dialog.CheckBox(b.control)->text(), QString::fromLatin1(b.text));
        EXPECT_EQ(dialog.CheckBox(b.control)->toolTip(), QString::fromLatin1(b.tip));
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
}

TEST(PropertiesDialog, OkWithABadLibraryNameShowsItsMessageAndStays) {
    struct {
        const char* name;
        const char* typed;
        int answer;
        const char* message; // null: accepted
        size_t created;
    } cases[] = {
        {"empty", "", 1, "You must specify a name for the library.", 0},
        {"not an identifier", "1abc", 1,
         "Invalid Library name.  \n\nMust be of the form - [letter]+[one or more alpha-numeric chars]", 0},
        {"folder exists", "Lib2", -1, "The Library folder already exists.", 1},
        {"file failed", "Lib2", -2, "Failed to create Library file.", 1},
        {"service says no", "Lib2", 0, nullptr, 1},
        {"only the case changed", "MYLIB", 1, nullptr, 0},
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
        if (!*c.typed) QTest::keyClick(library, Qt::Key_Backspace);
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

TEST(PropertiesDialog, ReadOnlyDisablesEveryControl) {
    test::CFakeTarget target;
    Form form(Header(), target, true);
    CFakeLibraries libraries;
    CDlgProperties dialog(form, libraries);
    for (int i = 0; i < Form::kControlCount; ++i) {
        const auto control = static_cast<Form::EControl>(i);
        QWidget* widget = Form::IsEdit(control) ? static_cast<QWidget*>(dialog.Edit(control)) : dialog.CheckBox(control);
        EXPECT_FALSE(widget->isEnabled()) << i;
    }
}

TEST(PropertiesDialog, AcceptedTitleReachesTheDocument) {
    test::CFakeTarget target;
    test::CDialogProgram program({"P", "x"}, false, &target);
    CRUXDocument& document = program.Document();
    EXPECT_EQ(document.GetTitle(), "dialog.rux (Line)");
    Form form(document.GetHeader()->Header(), target, document.IsReadOnly());
    CFakeLibraries libraries;
    CDlgProperties dialog(form, libraries);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Press(&dialog, Qt::Key_T, Qt::AltModifier); // "&Title:"
    QLineEdit* title = dialog.Edit(Form::kTitle);
    ASSERT_EQ(dialog.focusWidget(), title);
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("Conveyor"));
    QTest::keyClick(title, Qt::Key_Return);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    document.AcceptNodeProperties(form);
    EXPECT_EQ(document.GetHeader()->Header().Title, "Conveyor");
    EXPECT_EQ(document.GetTitle(), "dialog.rux (Conveyor) *");
    EXPECT_TRUE(document.IsModified());
}

TEST(PropertiesDialog, EscapeLeavesTheHeaderAlone) {
    test::CFakeTarget target;
    test::CDialogProgram program({"P", "x"}, false, &target);
    CRUXDocument& document = program.Document();
    Form form(document.GetHeader()->Header(), target, false);
    CFakeLibraries libraries;
    CDlgProperties dialog(form, libraries);
    dialog.show();
    QTest::keyClicks(dialog.Edit(Form::kAuthor), QStringLiteral("zz"));
    QTest::keyClick(dialog.Edit(Form::kAuthor), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(document.GetHeader()->Header().Author, "a");
}

} // namespace
} // namespace rux
