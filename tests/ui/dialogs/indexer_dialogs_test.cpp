// The indexer function block's name dialog and the import information dialog, from the keyboard.
#include "dialog_test_support.h"

#include "dialogs/import_information_dialog.h"
#include "dialogs/indexer_udfb_dialog.h"
#include "import/indexer_fb_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CBoxAnswerer;

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
        {"_Idx2b", true, "_Idx2b"},
        {"", false, ""},
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

TEST(IndexerUDFBDialog, HelpAsksForItsTopic) {
    CIndexerUDFBForm form;
    CDlgIndexerUDFB dialog(form);
    std::vector<std::string> topics;
    dialog.SetHelpHandler([&](const std::string& topic) { topics.push_back(topic); });
    dialog.show();
    ASSERT_FALSE(dialog.HelpButton()->isHidden());
    dialog.HelpButton()->click();
    EXPECT_EQ(topics, std::vector<std::string>{"Indexer_UDFB"});
    EXPECT_TRUE(dialog.isVisible());
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
