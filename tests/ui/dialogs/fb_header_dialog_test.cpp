#include "dialog_test_support.h"

#include "fb_header_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>

namespace rux {
namespace {

QPushButton* Ok(const CDlgFbHeader& dialog) {
    return dialog.Buttons()->button(QDialogButtonBox::Ok);
}

TEST(FbHeaderDialog, PreviewFollowsTheTypingAndOkWaitsForAValidHeader) {
    CFbHeaderModel model(2, 1);
    CDlgFbHeader dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.NameEdit());
    EXPECT_FALSE(Ok(dialog)->isEnabled());
    EXPECT_EQ(dialog.Problem()->text(), QStringLiteral("Type the name of the function block."));

    const struct {
        QLineEdit* (CDlgFbHeader::*field)() const;
        const char* typed;
        const char* preview;
        bool ok;
    } steps[] = {
        {&CDlgFbHeader::NameEdit, "Ramp", "Ramp()", false},
        {&CDlgFbHeader::NameEdit, "_Ramp", "_Ramp()", true},
        {&CDlgFbHeader::InputsEdit, "x, y%", "_Ramp(x, y%)", true},
        {&CDlgFbHeader::InputsEdit, "x, y%, z", "_Ramp(x, y%, z)", false}, // three inputs, two allowed
        {&CDlgFbHeader::InputsEdit, "x, y%", "_Ramp(x, y%)", true},
        {&CDlgFbHeader::OutputsEdit, "out%", "out% = _Ramp(x, y%)", true},
        {&CDlgFbHeader::OutputsEdit, "out%, more", "(out%, more) = _Ramp(x, y%)", false},
        {&CDlgFbHeader::OutputsEdit, "X", "X = _Ramp(x, y%)", false}, // X and x are one name
        {&CDlgFbHeader::OutputsEdit, "done", "done = _Ramp(x, y%)", true},
    };
    for (const auto& s : steps) {
        QLineEdit* edit = (dialog.*s.field)();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromLatin1(s.typed));
        EXPECT_EQ(dialog.Preview()->text(), QString::fromLatin1(s.preview)) << s.typed;
        EXPECT_EQ(Ok(dialog)->isEnabled(), s.ok) << s.typed;
        EXPECT_EQ(dialog.Problem()->text().isEmpty(), s.ok) << s.typed;
    }
    QTest::keyClick(dialog.OutputsEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.HeaderText(), "done = _Ramp(x, y%)");
}

TEST(FbHeaderDialog, EnterDoesNothingWhileTheHeaderIsInvalid) {
    CFbHeaderModel model(4, 4);
    CDlgFbHeader dialog(model);
    dialog.show();
    QTest::keyClicks(dialog.NameEdit(), QStringLiteral("_9"));
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(FbHeaderDialog, TheLibraryEntryEditsTheBufferInPlace) {
    struct {
        const char* name;
        const char* before;
        const char* outputs; // typed over the outputs field; null: Escape
        int32_t result;
        const char* after;
    } cases[] = {
        {"existing header", "(a, b%) = _Old(x)", "q%", 1, "q% = _Old(x)"},
        {"new block", "", nullptr, 0, ""},
        {"cancel keeps the text", "_Keep(k)", nullptr, 0, "_Keep(k)"},
    };
    for (const auto& c : cases) {
        char buffer[CFbHeaderModel::kBufferSize] = {};
        std::strcpy(buffer, c.before);
        QString shownOutputs, shownName;
        test::WhenModal([&](QWidget* modal) {
            auto* outputs = modal->findChild<QLineEdit*>(QStringLiteral("outputs"));
            auto* name = modal->findChild<QLineEdit*>(QStringLiteral("blockName"));
            shownOutputs = outputs->text();
            shownName = name->text();
            if (!c.outputs) {
                QTest::keyClick(name, Qt::Key_Escape);
                return;
            }
            outputs->selectAll();
            QTest::keyClicks(outputs, QString::fromLatin1(c.outputs));
            QTest::keyClick(outputs, Qt::Key_Return);
        });
        EXPECT_EQ(RunFbHeaderDialog(nullptr, buffer, 1, 8, 8), c.result) << c.name;
        EXPECT_STREQ(buffer, c.after) << c.name;
        if (*c.before == '(') {
            EXPECT_EQ(shownOutputs, QStringLiteral("a, b%")) << c.name;
            EXPECT_EQ(shownName, QStringLiteral("_Old")) << c.name;
        }
    }
    EXPECT_EQ(RunFbHeaderDialog(nullptr, nullptr, 1, 8, 8), 0);
}


// The editor loads the compiler library for each use and releases it afterwards: the dialog must
// work on every load, and nothing of it may be needed once the library is gone.
TEST(FbHeaderDialog, WorksFromALibraryLoadedAndReleasedEachTime) {
    using Entry = int32_t (*)(void*, char*, int32_t, int32_t, int32_t);
    for (const char* name : {"_First", "_Second"}) {
        void* library = dlopen(RUX_TEST_FBEDIT_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(library) << dlerror();
        auto entry = reinterpret_cast<Entry>(dlsym(library, "H2Cmp_FbEditEx"));
        ASSERT_TRUE(entry);
        char buffer[CFbHeaderModel::kBufferSize] = {};
        test::WhenModal([name](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("blockName"));
            QTest::keyClicks(edit, QString::fromLatin1(name));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        EXPECT_EQ(entry(nullptr, buffer, 1, 256, 256), 1);
        EXPECT_EQ(std::string(buffer), std::string(name) + "()");
        QCoreApplication::processEvents();
        EXPECT_EQ(dlclose(library), 0);
        EXPECT_EQ(dlopen(RUX_TEST_FBEDIT_MODULE, RTLD_NOW | RTLD_NOLOAD), nullptr) << "still loaded";
        // Events and widgets after the release find nothing of the library left behind.
        QCoreApplication::processEvents();
        QDialog after;
        after.show();
        QCoreApplication::processEvents();
    }
}

} // namespace
} // namespace rux
