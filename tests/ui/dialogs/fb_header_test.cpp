// The function block header dialog of the compiler library, and the Qt-free model under it.
#include "dialog_test_support.h"

#include "fb_header_dialog.h"
#include "fb_header_model.h"

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

using P = EFbHeaderProblem;

CFbHeaderModel Model(int maxIn, int maxOut, const std::string& outputs, const std::string& name,
                     const std::string& inputs) {
    CFbHeaderModel model(maxIn, maxOut);
    model.SetOutputs(outputs);
    model.SetName(name);
    model.SetInputs(inputs);
    return model;
}

TEST(FbHeaderModel, NamesFollowTheLanguageRules) {
    const struct {
        const char* name;
        bool block;
        bool param;
    } cases[] = {
        {"_Ramp", true, false}, {"_r2_d", true, false}, {"_", false, false},      {"_2x", false, false},
        {"__x", false, false},  {"Ramp", false, true},  {"_Ra mp", false, false}, {"_Ramp%", false, false},
        {"x%", false, true},    {"%", false, false},    {"Ramp.Out%", false, true}, {"a%b", false, false},
        {"9a", false, false},   {"", false, false},     {"\xE4x", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFbHeaderModel::IsValidBlockName(c.name), c.block) << c.name;
        EXPECT_EQ(CFbHeaderModel::IsValidParamName(c.name), c.param) << c.name;
    }
}

TEST(FbHeaderModel, HeaderTextFromTheFields) {
    const struct {
        const char* outputs;
        const char* name;
        const char* inputs;
        const char* text;
    } cases[] = {
        {"", "_Go", "", "_Go()"},
        {"out%", "_Ramp", "in%", "out% = _Ramp(in%)"},
        {" a ,b% ", "_Two", "x,  y , z%", "(a, b%) = _Two(x, y, z%)"},
        {",,", " _Trim ", ", x ,", "_Trim(x)"},
    };
    for (const auto& c : cases) {
        const CFbHeaderModel model = Model(256, 256, c.outputs, c.name, c.inputs);
        EXPECT_EQ(model.HeaderText(), c.text) << c.text;
        EXPECT_TRUE(model.IsValid()) << c.text;
    }
}

TEST(FbHeaderModel, ParseReadsBackWhatItWrites) {
    const struct {
        const char* header;
        bool parsed;
        const char* outputs;
        const char* name;
        const char* inputs;
    } cases[] = {
        {"(o1%, o2) = _Name(i1, i2%)", true, "o1%, o2", "_Name", "i1, i2%"},
        {"o% = _Ramp(x)", true, "o%", "_Ramp", "x"},
        {"  _Go()  ", true, "", "_Go", ""},
        {"(a,b)=_X(c)", true, "a, b", "_X", "c"},
        {"_Open(a, b", false, "", "_Open", "a, b"},
        {"Background", false, "", "Background", ""},
        {"", false, "", "", ""},
    };
    for (const auto& c : cases) {
        CFbHeaderModel model(256, 256);
        EXPECT_EQ(model.Parse(c.header), c.parsed) << c.header;
        EXPECT_EQ(CFbHeaderModel::JoinList(model.Outputs()), c.outputs) << c.header;
        EXPECT_EQ(model.Name(), c.name) << c.header;
        EXPECT_EQ(CFbHeaderModel::JoinList(model.Inputs()), c.inputs) << c.header;
        if (c.parsed) {
            CFbHeaderModel again(256, 256);
            again.Parse(model.HeaderText());
            EXPECT_EQ(again.HeaderText(), model.HeaderText()) << c.header;
        }
    }
}

TEST(FbHeaderModel, FirstProblemInFieldOrder) {
    // "_B(" + inputs + ")" around a list of 251 bytes is 255 in all: one byte left for the zero.
    const std::string fills = "a" + std::string(250, 'x');
    const struct {
        int maxIn;
        int maxOut;
        const char* outputs;
        const char* name;
        std::string inputs;
        P problem;
    } cases[] = {
        {2, 1, "a", "_B", "c, d", P::None},
        {2, 1, "a, b", "_B", "c", P::TooManyOutputs},
        {1, 1, "a", "_B", "c, d", P::TooManyInputs},
        {0, 0, "", "_B", "", P::None},
        {-3, 1, "", "_B", "c", P::TooManyInputs}, // a negative limit allows none
        {4, 4, "1a", "", "", P::BadOutputName},
        {4, 4, "a", "", "c", P::NameMissing},
        {4, 4, "a", "B", "c", P::BadBlockName},
        {4, 4, "a", "_1", "c", P::BadBlockName},
        {4, 4, "a", "_B", "c d", P::BadInputName},
        {4, 4, "a", "_B", "x, A", P::DuplicateName}, // an output and an input differing in case
        {4, 4, "a, b", "_B", "b", P::DuplicateName},
        // The header must fit the library's buffer.
        {256, 256, "", "_B", fills, P::None},
        {256, 256, "", "_B", fills + "x", P::TooLong},
    };
    for (const auto& c : cases) {
        const CFbHeaderModel model = Model(c.maxIn, c.maxOut, c.outputs, c.name, c.inputs);
        EXPECT_EQ(model.Check(), c.problem) << c.outputs << "|" << c.name << "|" << c.inputs;
        EXPECT_EQ(CFbHeaderModel::ProblemText(model.Check(), model).empty(), c.problem == P::None);
    }
    EXPECT_EQ(Model(256, 256, "", "_B", fills).HeaderText().size(), 255u);
    const CFbHeaderModel limits = Model(7, 3, "", "_X", "a,b,c,d,e,f,g,h");
    EXPECT_EQ(CFbHeaderModel::ProblemText(limits.Check(), limits),
              "A function block of this target has at most 7 inputs.");
}

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
        if (!s.ok) {
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible()) << "Enter does nothing while the header is invalid: " << s.typed;
        }
    }
    QTest::keyClick(dialog.OutputsEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.HeaderText(), "done = _Ramp(x, y%)");
}

// The compiler library's entry edits the caller's buffer in place. The editor loads the library for
// each use and releases it afterwards: the dialog must work on every load, and nothing of it may be
// needed once the library is gone.
TEST(FbHeaderDialog, TheLibraryEntryEditsTheBufferInPlaceOnEveryLoad) {
    struct {
        const char* name;
        const char* before;
        const char* outputs; // typed over the outputs field; null: Escape
        int32_t result;
        const char* after;
    } cases[] = {
        {"existing header", "(a, b%) = _Old(x)", "q%", 1, "q% = _Old(x)"},
        {"new block", "", "", 0, ""}, // no name: Enter does nothing, Escape ends it
        {"cancel keeps the text", "_Keep(k)", nullptr, 0, "_Keep(k)"},
        {"a name typed", "", "", 1, "_First()"},
    };
    using Entry = int32_t (*)(void*, char*, int32_t, int32_t, int32_t);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        void* library = dlopen(RUX_TEST_FBEDIT_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(library) << dlerror();
        auto entry = reinterpret_cast<Entry>(dlsym(library, "H2Cmp_FbEditEx"));
        ASSERT_TRUE(entry);
        char buffer[CFbHeaderModel::kBufferSize] = {};
        std::strcpy(buffer, c.before);
        QString shownOutputs, shownName;
        test::WhenModal([&](QWidget* modal) {
            auto* outputs = modal->findChild<QLineEdit*>(QStringLiteral("outputs"));
            auto* name = modal->findChild<QLineEdit*>(QStringLiteral("blockName"));
            shownOutputs = outputs->text();
            shownName = name->text();
            if (c.result && !*c.before) QTest::keyClicks(name, QStringLiteral("_First"));
            if (c.outputs) {
                outputs->selectAll();
                QTest::keyClicks(outputs, QString::fromLatin1(c.outputs));
                QTest::keyClick(outputs, Qt::Key_Return);
            }
            if (modal->isVisible()) QTest::keyClick(name, Qt::Key_Escape);
        });
        EXPECT_EQ(entry(nullptr, buffer, 1, 8, 8), c.result);
        EXPECT_STREQ(buffer, c.after);
        if (*c.before == '(') {
            EXPECT_EQ(shownOutputs, QStringLiteral("a, b%"));
            EXPECT_EQ(shownName, QStringLiteral("_Old"));
        }
        EXPECT_EQ(entry(nullptr, nullptr, 1, 8, 8), 0);
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
